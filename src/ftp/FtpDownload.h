#pragma once

#include "ftp/FtpResult.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>

class IPrompter;
class IZipExtractor;
class Settings;
class SettingsStore;

// The FTP bulk download behind the "FTP Engine" dialog: a button index names
// a zipped product set on the server (FTPServer); download() fetches it on a
// worker thread, reports progress and the state texts of the dialog's
// status label (lblMain), and hands
// the set to extraction into the Data-In directory. One download at a time
// (the busy flag); closing the dialog cancels a running one.
class FtpDownload : public QObject
{
    Q_OBJECT
public:
    static inline const QString Idle = QStringLiteral("Idle");
    static inline const QString Standby = QStringLiteral("Standby");
    static inline const QString Downloading = QStringLiteral("Downloading");
    static inline const QString AlreadyActive = QStringLiteral("Already Active");
    static inline const QString Unzipping = QStringLiteral("Unzipping");
    static inline const QString Done = QStringLiteral("Done");
    static inline const QString UnableToConnect = QStringLiteral("Unable to connect");
    static inline const QString FtpFailed = QStringLiteral("FTP Failed");
    // The operator's public download account.
    static inline const QString User = QStringLiteral("emwin");
    static inline const QString Password = QStringLiteral("emwin");

    FtpDownload(QString programDir, Settings& settings, SettingsStore& store, IPrompter& prompter,
                IZipExtractor& extractor, QObject* parent = nullptr);
    // Cancels a running download and waits for its thread to end.
    ~FtpDownload() override;

    // The remote base name of a button (cmdFTP index), empty for a button
    // that names no set.
    static QString remoteBaseName(int index);
    // The receive directory: the program directory's "track/rcv/".
    QString receiveDir() const;

    // The dialog opens: the status back to "Idle" unless a download runs;
    // returns the server address the dialog shows (FTPServer).
    QString dialogOpened();
    // The server field was edited: FTPServer takes its text.
    void setServer(const QString& text);
    // Starts the download of the set of a button (cmdFTP index).
    void download(int set);
    // The dialog closes: a running download is cancelled, the busy flag
    // cleared and FTPServer saved in the settings.
    void dialogClosing();

    bool busy() const { return m_busy; }
    QString status() const { return m_status; }
    int progress() const { return m_progress; }

    // Time limits and permission retries (tests shorten them).
    void setTimeouts(int connectSeconds, int stallSeconds);
    void setRetries(int limit, int delayMs);

signals:
    void statusChanged(const QString& text);
    // ProgBar1: percent of the set received (0 when idle).
    void progressChanged(int percent);
    // A download ended (after its last status text).
    void finished(const FtpResult& result);

private:
    void setStatus(const QString& text);
    void setProgress(int percent);
    void start(const QString& remoteName);
    void onStatus(quint64 job, const QString& text);
    void onProgress(quint64 job, qint64 bytes, qint64 total);
    void onFinished(quint64 job, const FtpResult& result);

    QString m_programDir;
    Settings& m_settings;
    SettingsStore& m_store;
    IPrompter& m_prompter;
    IZipExtractor& m_extractor;
    QThreadPool m_pool;
    std::shared_ptr<std::atomic_bool> m_cancel;
    quint64 m_job = 0;
    bool m_busy = false;
    QString m_status = Idle;
    int m_progress = 0;
    int m_connectSeconds = 30;
    int m_stallSeconds = 60;
    int m_retryLimit = 3;
    int m_retryDelayMs = 1000;
};
