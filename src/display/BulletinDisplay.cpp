#include "display/BulletinDisplay.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "product/BulletinText.h"
#include "product/ProductName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 kChunk = 25000;

bool containsAny(const QString& text, std::initializer_list<const char*> parts)
{
    for (const char* p : parts) {
        if (text.contains(QLatin1String(p)))
            return true;
    }
    return false;
}
} // namespace

BulletinDisplay::BulletinDisplay(const Settings& settings, DisplayState& display,
                                 StatusLine& status, IPrompter& prompter, QObject* parent)
    : QObject(parent), m_settings(settings), m_display(display), m_status(status),
      m_prompter(prompter)
{
}

QString BulletinDisplay::directoryFor(const QString& product) const
{
    const Settings& s = m_settings;
    if (containsAny(product, {".JPG", ".GIF"}))
        return s.GIFPath;
    if (product.contains(QLatin1String(".GPH")))
        return QString();
    if (product.contains(QLatin1String(".Z")))
        return s.SAPath;
    return s.TextPath;
}

void BulletinDisplay::DisplayProd(const QString& product)
{
    if (product.isEmpty())
        return;
    if (product.startsWith(QLatin1String("SAHOURLY")) ||
        product.startsWith(QLatin1String("SAORCMUS"))) {
        showMessage(TooLarge);
        return;
    }
    if (!ProductName::isValid(product)) {
        showMessage(NotAvailable);
        m_prompter.message(ProductName::invalidMessage(product), QString(),
                           IPrompter::Icon::Exclamation);
        return;
    }
    const QString dir = directoryFor(product);
    if (dir.isEmpty())
        return;
    if (!QFileInfo(dir).isDir()) {
        showMessage(NotAvailable);
        m_status.setText(QStringLiteral("Product directory not found: ") + dir);
        return;
    }
    QFile file(dir + product);
    QByteArray raw;
    if (QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly)) {
        if (file.size() > MaxDisplayBytes) {
            showMessage(TooLarge);
            return;
        }
        while (!file.atEnd()) {
            const QByteArray chunk = file.read(kChunk);
            if (chunk.isEmpty())
                break;
            raw += chunk;
        }
    }
    const QString text = BulletinText::clean(raw);
    if (text.isEmpty())
        showMessage(NotAvailable);
    else
        m_display.setDisplay(text, product);
    emit leaveCompactRequested();
}

void BulletinDisplay::showMessage(const QString& text)
{
    m_display.setDisplay(text, QString());
}

void BulletinDisplay::showTextFile(const QString& path)
{
    bool cut = false;
    const QString text = TextFile::readTail(path, MaxLogBytes, &cut);
    if (!cut) {
        m_display.setDisplay(text, QString());
        return;
    }
    const qint64 kilobytes = (QFileInfo(path).size() + 1023) / 1024;
    m_display.setDisplay(QStringLiteral("     --- ") + QFileInfo(path).fileName() +
                             QStringLiteral(" holds %1 KB: only its last %2 KB are shown ---\r\n")
                                 .arg(kilobytes)
                                 .arg(MaxLogBytes / 1024) +
                             text,
                         QString());
}

QString BulletinDisplay::shownText() const
{
    return m_textSource ? m_textSource() : m_display.text();
}

void BulletinDisplay::FindText(int indicator)
{
    IPrompter& prompter = m_prompter;
    if (indicator == 0) {
        const std::optional<QString> answer =
            prompter.input(QStringLiteral("Enter Search String"), SearchTitle, QString());
        if (!answer || answer->isEmpty())
            return;
        m_searchText = *answer;
        m_nextStart = 1;
    }
    if (m_searchText.isEmpty())
        return;
    const QString needle = m_searchText.toUpper();
    const QString text = shownText();
    const qsizetype found =
        m_nextStart - 1 <= text.size() ? text.indexOf(needle, m_nextStart - 1) : -1;
    if (found < 0) {
        prompter.message(QStringLiteral("String not found."), SearchTitle,
                         IPrompter::Icon::Information);
        return;
    }
    emit selectRequested(static_cast<int>(found), static_cast<int>(needle.size()));
    m_nextStart = static_cast<int>(found) + 1 + static_cast<int>(needle.size());
}
