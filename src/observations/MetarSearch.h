#pragma once

#include "core/IMetarHooks.h"
#include "observations/MetarArchiveJob.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>

class DisplayState;
class IPrompter;
class MetarAlarm;
class Settings;

// The METAR searches of the main window: the latest observations of the
// default stations when hourly data arrives (the hooks of product processing
// and extraction), and the interactive search (METAR button, Products >
// METAR Reports), which reads the hourly archive on a worker thread and shows
// its result in the bulletin display when done.
//
// The found reports for the alarm path are kept here (alarmText) and handed
// to the METAR alarm by AlarmMetar. A file that has vanished or cannot be
// read is reported in the display; one that ends inside a report gives what
// was found, the partial report included.
class MetarSearch : public QObject, public IMetarHooks
{
    Q_OBJECT
public:
    static inline const QString InputTitle = QStringLiteral("METAR Search");
    static inline const QString InputPrompt =
        QStringLiteral("Enter airport ID's:\r\n (separate multiple sites with a comma)");
    static inline const QString ShortAnswerText =
        QStringLiteral("Please enter at least 3 characters of the ID");
    static inline const QString StandbyText =
        QStringLiteral("Standby, parsing hourly METAR files...");
    static inline const QString NoFilesText = QStringLiteral("Hourly METAR files not found");
    static inline const QString NotAvailableText = QStringLiteral("METAR file not available.");
    static inline const QString LatestHeading = QStringLiteral("Latest Observation:\r\n\r\n");

    MetarSearch(const Settings& settings, DisplayState& display, IPrompter& prompter,
                MetarAlarm& alarm, QObject* parent = nullptr);
    ~MetarSearch() override;

    // Latest reports of the stations from the newest hourly file: into the
    // display (tag cleared) with displayIt, else into alarmText.
    void GetHourly(const QString& stations, bool displayIt) override;
    // The same from a filed product (a product key in the text directory);
    // shown with the tag "METAR".
    void GetOffHourly(const QString& stations, const QString& productKey, bool displayIt) override;
    // Carries out the METAR or SPECI alarm definitions with alarmText.
    void AlarmMetar(const QString& kind) override;

    // The METAR button and Products > METAR Reports: asks for station
    // identifiers and starts the search; the result arrives later.
    void askAndSearch();
    // Starts the interactive search for an answer already given (upper-cased
    // here). A search still running is abandoned.
    void startSearch(const QString& answer);
    bool searchRunning() const { return m_running; }

    QString alarmText() const { return m_alarmText; }

signals:
    // The interactive search has put its result into the display.
    void searchFinished();

private:
    enum class Path
    {
        Hook,       // hourly data arrived
        Interactive // the user asked
    };
    void searchOne(const QString& directory, const QString& name, const QString& stations,
                   bool displayIt, const QString& tag);
    void applyLatest(const MetarFileScan::Result& result, const QString& name, bool displayIt,
                     const QString& tag, Path path);
    void finishSearch(const MetarArchiveJob::Outcome& outcome, quint64 generation);

    const Settings& m_settings;
    DisplayState& m_display;
    IPrompter& m_prompter;
    MetarAlarm& m_alarm;
    QString m_alarmText;

    quint64 m_generation = 0;
    bool m_running = false;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    // Declared last: destroyed (and waited for) first.
    QThreadPool m_pool;
};
