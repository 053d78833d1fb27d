#include "display/SaveFile.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "display/BulletinPrinter.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "product/ProductName.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool SaveFile::canSave() const
{
    if (BulletinPrinter::hasBulletin(m_display.text()) && !m_display.tag().isEmpty())
        return true;
    m_prompter.message(BulletinPrinter::NoBulletin, QString(), IPrompter::Icon::Information);
    return false;
}

QString SaveFile::initialPath() const
{
    QString dir = m_settings.DefaultSaveDir;
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + m_display.tag();
}

void SaveFile::save(const QString& path)
{
    const QString product = m_display.tag();
    if (!ProductName::isValid(product))
        throw RuntimeError(ErrorNumber::FileNotFound, product);
    QFile source(m_settings.TextPath + product);
    if (!QFileInfo(source).isFile())
        throw RuntimeError(ErrorNumber::FileNotFound, source.fileName());
    if (!source.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PermissionDenied, source.fileName());
    const QByteArray bytes = source.readAll();
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size() ||
        !target.commit())
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    m_settings.DefaultSaveDir = QFileInfo(path).absolutePath() + QLatin1Char('/');
    m_settings.store(m_store, Settings::Key::DefaultSaveDir);
    if (!m_store.sync())
        m_prompter.message(QStringLiteral("The bulletin was saved, but its directory is not "
                                          "remembered for the next start.\n") +
                               m_store.writeFailure(),
                           QString(), IPrompter::Icon::Exclamation);
}

bool SaveFile::saveReporting(const QString& path)
{
    try {
        save(path);
        return true;
    } catch (const RuntimeError& e) {
        m_prompter.message(ErrorReport::format(QStringLiteral("MAIN: SaveFile"), e), QString(),
                           IPrompter::Icon::Exclamation);
        return false;
    }
}
