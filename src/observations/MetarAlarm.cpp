#include "observations/MetarAlarm.h"

#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/LineEnds.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "observations/IMetarAlarmActions.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ErrorReport.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/TextPrinter.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString oneLine(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

} // namespace

MetarAlarm::MetarAlarm(const Settings& settings, const AlarmFile& alarms,
                       const ReferenceTables& tables, StatusLine& status, DisplayState& display,
                       const IClock& clock, ITextPrinter& printer, IMetarAlarmActions& actions,
                       QString programDir)
    : m_settings(settings), m_alarms(alarms), m_tables(tables), m_status(status),
      m_display(display), m_clock(clock), m_printer(printer), m_actions(actions),
      m_programDir(std::move(programDir))
{
}

QString MetarAlarm::breakLines(const QString& text)
{
    QString r = text;
    for (const int at : {85, 150, 205}) {
        if (r.size() > at)
            r.insert(at, CrLf);
    }
    return r;
}

bool MetarAlarm::outsideHours(int hour, int cutoffAM, int cutoffPM)
{
    return hour < cutoffAM || hour > cutoffPM;
}

void MetarAlarm::AlarmMetar(const QString& reports, const QString& kind)
{
    if (reports.isEmpty())
        return;
    const QString type =
        kind == QLatin1String("METAR") ? QStringLiteral("METAR") : QStringLiteral("SPECI");
    const QList<AlarmDefinition>& definitions = m_alarms.definitions();
    for (int i = 0; i <= m_alarms.alarmCount(); ++i) {
        const AlarmDefinition& definition = definitions.at(i);
        if (definition.pattern.isEmpty())
            break;
        if (definition.pattern.contains(type))
            perform(definition, reports);
    }
}

void MetarAlarm::perform(const AlarmDefinition& d, const QString& reports)
{
    QString r = breakLines(reports);
    // A definition that is quiet at this hour is passed over; later
    // definitions are still examined.
    if (d.dayOnly != 0 &&
        outsideHours(m_clock.now().time().hour(), m_settings.CutoffAM, m_settings.CutoffPM))
        return;
    const auto guarded = [this](auto&& action) {
        try {
            action();
        } catch (const RuntimeError& error) {
            report(error);
        }
    };
    if (d.log != 0)
        guarded([&] { writeLog(r); });
    if (d.custom != 0)
        guarded([&] { writeArchive(r); });
    if (d.print != 0)
        guarded([&] { print(r); });
    if (d.audio >= 0)
        guarded([&] { sound(d.audio); });
    if (d.email >= 0)
        guarded([&] { mail(&r, d.email); });
    if (d.pager >= 0)
        guarded([&] { page(r, d.pager); });
    if (d.scroll != 0)
        guarded([&] { scroll(r); });
}

QString MetarAlarm::now() const
{
    return DateTimeText::general(m_clock.now());
}

void MetarAlarm::writeLog(const QString& r) const
{
    const QStringList lines = {QStringLiteral("*** METAR - ") + now() + QStringLiteral(" ***"),
                               QString(55, QLatin1Char('-')), r, QStringLiteral(" "),
                               QStringLiteral(" ")};
    TextFile::appendLine(m_programDir + LogFile, lines.join(CrLf));
}

void MetarAlarm::writeArchive(const QString& r) const
{
    TextFile::writeAll(m_settings.ArchivePath + ArchiveFile, r + CrLf);
}

void MetarAlarm::print(const QString& r) const
{
    const QString text = now() + CrLf + r + CrLf + QStringLiteral(" \r\n \r\n \r\n");
    m_printer.printText(text, m_tables.printerFontSize());
}

void MetarAlarm::sound(int audio) const
{
    const QString path = m_programDir + QStringLiteral("alert") + QString::number(audio + 1) +
                         QStringLiteral(".wav");
    if (TextFile::exists(path))
        m_actions.startSound(path);
}

void MetarAlarm::mail(QString* r, int addressIndex) const
{
    const QString recipients = m_actions.mailRecipients(addressIndex);
    m_status.setText(QStringLiteral("Emailing METAR Observation"));
    if (m_settings.stripLF)
        *r = LineEnds::StripEOL(*r);
    TextFile::appendLine(m_programDir + MailLogFile, QStringLiteral("Emailing METAR to ") +
                                                         recipients + QStringLiteral(" at ") +
                                                         now());
    // An entry without addresses would start the mailer with no recipient.
    if (recipients.size() <= 2) {
        m_status.setText(NoAddressText);
        return;
    }
    m_actions.sendMetarMail(*r, recipients);
    m_status.setText(QStringLiteral("Sent to ") + recipients.section(QLatin1Char('@'), 0, 0));
}

void MetarAlarm::page(const QString& r, int pagerIndex) const
{
    if (pagerIndex > MaxPagerIndex)
        return;
    m_actions.page(oneLine(r), pagerIndex);
}

void MetarAlarm::scroll(const QString& r) const
{
    if (!m_actions.openScroll(oneLine(r) + QString(21, QLatin1Char(' ')), ScrollTitle))
        m_display.setDisplay(ScrollLimitText);
}

void MetarAlarm::report(const RuntimeError& error) const
{
    m_display.setDisplay(ErrorReport::format(QStringLiteral("MAIN: AlarmMetar"), error));
}
