#pragma once

#include <QString>

class AlarmFile;
class DisplayState;
class IClock;
class IMetarAlarmActions;
class ITextPrinter;
class ReferenceTables;
class RuntimeError;
class Settings;
class StatusLine;
struct AlarmDefinition;

// The METAR alarm: carries out every alarm definition whose pattern names
// the report type ("METAR" or "SPECI") with the reports that the search found
// for the default stations. Log, archive file and print are done here; sound,
// mail, pages and the scrolling window through IMetarAlarmActions.
//
// A failing action (a full disk, a missing archive directory) is reported in
// the bulletin display; the remaining actions and definitions still run.
class MetarAlarm
{
public:
    static inline const QString LogFile = QStringLiteral("weather.txt");
    static inline const QString MailLogFile = QStringLiteral("email-log.txt");
    static inline const QString ArchiveFile = QStringLiteral("METAR");
    static inline const QString ScrollTitle = QStringLiteral("METAR Observation");
    static inline const QString ScrollLimitText =
        QStringLiteral("Maximum number of scroll alarms displayed is 10, please close some...");
    static inline const QString NoAddressText =
        QStringLiteral("No e-mail address for the METAR alarm");
    static constexpr int MaxPagerIndex = 10;

    MetarAlarm(const Settings& settings, const AlarmFile& alarms, const ReferenceTables& tables,
               StatusLine& status, DisplayState& display, const IClock& clock,
               ITextPrinter& printer, IMetarAlarmActions& actions, QString programDir);

    // Runs the definitions for the found reports (empty: nothing happens).
    // kind "METAR" fires definitions whose pattern contains "METAR"; any other
    // kind those containing "SPECI".
    void AlarmMetar(const QString& reports, const QString& kind);

    // CR LF after the 85th character of a text longer than 85, then after the
    // 150th of the result when longer than 150, then after its 205th.
    static QString breakLines(const QString& text);
    // True when a time-restricted definition is quiet in this hour of the day.
    static bool outsideHours(int hour, int cutoffAM, int cutoffPM);

private:
    void perform(const AlarmDefinition& definition, const QString& reports);
    void writeLog(const QString& r) const;
    void writeArchive(const QString& r) const;
    void print(const QString& r) const;
    void sound(int audio) const;
    void mail(QString* r, int addressIndex) const;
    void page(const QString& r, int pagerIndex) const;
    void scroll(const QString& r) const;
    void report(const RuntimeError& error) const;
    QString now() const;

    const Settings& m_settings;
    const AlarmFile& m_alarms;
    const ReferenceTables& m_tables;
    StatusLine& m_status;
    DisplayState& m_display;
    const IClock& m_clock;
    ITextPrinter& m_printer;
    IMetarAlarmActions& m_actions;
    QString m_programDir;
};
