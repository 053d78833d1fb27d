#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class ArrivalReadiness;
class DirectoryWatcher;
class IPrompter;
class IProductProcessor;

// The main loop of ingest: every second the Data-In directory is listed and
// its files handed to the product processor in batches of about SliceMs of
// work per event-loop turn, so that other timers and input are served between
// batches. The polling timer is off while a pass runs and on again after it,
// also after a reported error. Before the first pass the processor puts back
// what an interrupted run left.
//
// With arrivals watched, a file reported complete starts a pass at once (or
// right after the running one), and only complete files are taken (see
// ArrivalReadiness); the timer stays for what is not reported.
class DataInPoller : public QObject
{
    Q_OBJECT
public:
    static constexpr int SliceMs = 20;

    DataInPoller(QString programDir, IPrompter& prompter, QObject* parent = nullptr);
    ~DataInPoller() override;

    void setProcessor(IProductProcessor* processor) { m_processor = processor; }
    // The Data-In directory (TransferPath).
    void setDirectory(const QString& directory);
    QString directory() const { return m_directory; }

    // Watches Data-In for complete files and takes only those; a directory
    // that cannot be watched is polled with the size and time rule alone.
    void watchArrivals();
    bool isWatching() const;

    // Switches polling on or off (tmrRELink).
    void start();
    void stop();
    // Polling is switched on (the timer itself is off during a pass).
    bool isRunning() const { return m_enabled; }
    const QTimer& tmrRELink() const { return m_tmrRELink; }
    // The polling period (a second); arrivals reported by the watcher start
    // passes in between.
    void setPollInterval(int milliseconds) { m_tmrRELink.setInterval(milliseconds); }
    bool passRunning() const { return m_passRunning; }

    // A tick of tmrRELink: lists the directory and starts a pass.
    void poll();
    // Runs one whole pass at once and returns when it has ended.
    void runPassNow();

    // Turns a file that is still being written is retried before the pass
    // moves on and leaves it for the next tick, and the pause between tries.
    void setRetryLimit(int turns) { m_retryLimit = turns; }
    void setRetryDelay(int milliseconds) { m_retryDelay = milliseconds; }
    // A hidden file unchanged for this long is set aside rather than waited for.
    static constexpr int StaleHiddenAge = 3600;
    void setStaleHiddenAge(int seconds) { m_staleHiddenAge = seconds; }

signals:
    // Whether the alarm log "weather.txt" exists (the log button follows it).
    void logAvailable(bool available);
    void passFinished();
    // Around each batch of files handed over in one event-loop turn.
    void batchStarted();
    void batchFinished();

private:
    enum class Next
    {
        File,
        Retry,
        Done
    };

    bool beginPass();
    QStringList takeInventory();
    Next step();
    Next runBatch(bool whole);
    void onStepTimer();
    void onArrival();
    void finishPass();
    void report(int number, const QString& text);

    QString m_programDir;
    IPrompter& m_prompter;
    IProductProcessor* m_processor = nullptr;
    QString m_directory;
    QTimer m_tmrRELink;
    QTimer m_stepTimer;
    QTimer m_arrivalTimer;
    bool m_enabled = false;
    bool m_passRunning = false;
    QStringList m_files;
    qsizetype m_index = 0;
    int m_retries = 0;
    int m_retryLimit = 50;
    int m_retryDelay = 20;
    int m_staleHiddenAge = StaleHiddenAge;
    bool m_recovered = false;
    bool m_arrivalPending = false;
    std::unique_ptr<DirectoryWatcher> m_watcher;
    std::unique_ptr<ArrivalReadiness> m_readiness;
};
