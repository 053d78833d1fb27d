#include "alarms/AlarmActions.h"

#include "alarms/AlarmComponent.h"
#include "alarms/AlarmSound.h"
#include "alarms/ExeAlarmCommand.h"
#include "alarms/IScrollWindows.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QSaveFile>

namespace {
constexpr qint64 CopyChunk = 256 * 1024;
const QString LineEnd = QStringLiteral("\r\n");
} // namespace

AlarmActions::AlarmActions(const Context& context, QObject* parent) : QObject(parent), m_c(context)
{
}

void AlarmActions::connectTo(AlarmComponent& component)
{
    // Direct: the handlers run inside CheckAlarm, whose caller reports their failures.
    const auto direct = Qt::DirectConnection;
    connect(&component, &AlarmComponent::AlarmScreen, this, &AlarmActions::AlarmScreen, direct);
    connect(&component, &AlarmComponent::AlarmVisual, this, &AlarmActions::AlarmVisual, direct);
    connect(&component, &AlarmComponent::PlayAudio, this, &AlarmActions::PlayAudio, direct);
    connect(&component, &AlarmComponent::AlarmList, this, &AlarmActions::AlarmList, direct);
    connect(&component, &AlarmComponent::AlarmArchive, this, &AlarmActions::AlarmArchive, direct);
    connect(&component, &AlarmComponent::AlarmEXE, this, &AlarmActions::AlarmEXE, direct);
}

std::optional<QString> AlarmActions::filingDirectory(const Settings& settings, const QString& name)
{
    if (name.contains(QLatin1String(".GIF")) || name.contains(QLatin1String(".JPG")))
        return settings.GIFPath;
    if (name.contains(QLatin1String(".GPH")))
        return std::nullopt;
    if (name.contains(QLatin1String(".Z")))
        return settings.SAPath;
    return settings.TextPath;
}

void AlarmActions::AlarmScreen(const QString& prodtxt, const QString& FullPathName)
{
    m_c.display.setDisplay(prodtxt, FullPathName);
}

bool AlarmActions::openScroll(const QString& caption, const QString& title, const QString& tag)
{
    return !m_windows || m_windows->openScroll(caption, title, tag);
}

void AlarmActions::AlarmVisual(const QString& producttxt, const QString& FullPathName,
                               const QString& CheckString)
{
    Q_UNUSED(FullPathName)
    QString text = producttxt;
    text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString title =
        CheckString + QStringLiteral(" - ") + DateTimeText::general(m_c.clock.now());
    if (!openScroll(text + QString(MarqueeGap, QLatin1Char(' ')), title, text))
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange);
    m_c.sound.beepOnce();
}

void AlarmActions::PlayAudio(const QString& LocationF)
{
    m_c.sound.PlayAudio(LocationF);
}

void AlarmActions::AlarmList(const QString& line)
{
    m_c.lists.alarmed().insertTop(line, 0);
    m_c.lists.showList(ListKind::Alarmed);
    m_c.lists.recolour(ListKind::Alarmed);
    m_c.sound.playOnce(m_c.programDir + ListTone);
}

void AlarmActions::copyReplacing(const QString& source, const QString& target) const
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::FileNotFound, source);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, target);
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(CopyChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            throw RuntimeError(ErrorNumber::PathFileAccess, source);
        if (out.write(chunk) != chunk.size())
            throw RuntimeError(ErrorNumber::PathFileAccess, target);
    }
    if (!out.commit())
        throw RuntimeError(ErrorNumber::PathFileAccess, target);
}

void AlarmActions::AlarmArchive(const QString& pathname3, const QString& output3)
{
    const std::optional<QString> dir = filingDirectory(m_c.settings, pathname3);
    if (!dir)
        return;
    const QString target = m_c.settings.ArchivePath + pathname3.left(6);
    // The archive copy replaces the old one whole; a failure is reported and
    // the filed product is left as it is.
    try {
        if (output3.isEmpty())
            copyReplacing(*dir + pathname3, target);
        else
            TextFile::writeAll(target, output3 + LineEnd);
    } catch (const RuntimeError& error) {
        m_c.status.setText(QStringLiteral("Cannot archive ") + pathname3.left(9).trimmed() +
                           QStringLiteral(": ") + error.text());
    }
}

void AlarmActions::AlarmEXE(int exenum, const QString& FullerPathName)
{
    const std::optional<QString> dir = filingDirectory(m_c.settings, FullerPathName);
    if (!dir)
        return;
    const auto& programs = m_c.alarms.programs();
    if (exenum < 1 || exenum > programs.size())
        throw RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("EXE alarm %1").arg(exenum));
    const ExeAlarmCommand command(programs.at(exenum - 1).command, *dir + FullerPathName,
                                  m_c.programDir);
    if (command.isEmpty() ||
        m_c.launcher.startProgram(command.workingDirectory(), command.program(),
                                  command.arguments(), LaunchWindow::Normal) == 0)
        throw RuntimeError(ErrorNumber::FileNotFound, command.program());
}
