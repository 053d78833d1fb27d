#pragma once

#include "ingest/EngineLink.h"

#include <QObject>
#include <QString>
#include <QTimer>

class IProcessLauncher;
class IWindowControl;
class StatusLine;

// Starts, finds, hides and shows the outside ingest engines, holds the engine
// command field and runs the hourly archive purge.
class EngineControl : public QObject
{
    Q_OBJECT
public:
    enum class Mode
    {
        Standalone,
        InternetFeed,
        Network
    };

    static const QString InternetConnectedTitle;
    static const QString InternetNotConnectedTitle;
    static const QString BroadcastTitle;

    EngineControl(QString programDir, IProcessLauncher& launcher, IWindowControl& windows,
                  StatusLine& status, QObject* parent = nullptr);

    static Mode modeFrom(bool weathernodeMode, bool networkMode);

    // Starts or finds the engine of the mode. Throws RuntimeError(FileNotFound)
    // when an engine program cannot be started.
    void startupStep(Mode mode);
    // Starts the Weather Wire engine beside the engine of the mode, unless it
    // runs already (it listens for commands); a failure is reported on the
    // status line, the other feed goes on.
    void startWeatherWire();
    // Toggles hiding of the engine windows; nothing changes when none exists.
    void toggleIngestWindows();
    bool hideIngestChecked() const { return m_hideIngestChecked; }
    void setHideIngestChecked(bool checked);

    // The engine command field txtNETLink ("HIDE", "SHUTDOWN"). Every command
    // also goes to the running engines over their command sockets.
    QString netLink() const { return m_netLink; }
    void setNetLink(const QString& command);
    // Waits (bounded) until the commands sent have reached the engines (exit).
    void finishCommands(int timeoutMs);

    // Shows both engines' windows again (shutdown).
    void restoreEngineWindows();
    // Starts the Internet engine as a data-loss backup unless it runs already;
    // with the hide mark on, its window is hidden after a short wait.
    void startInternetBackup();
    void setBackupHideDelay(int milliseconds) { m_backupHideDelay = milliseconds; }
    bool backupHidePending() const { return m_backupHideTimer.isActive(); }

    quint64 internetWindow() const { return m_internetWindow; }
    quint64 broadcastWindow() const { return m_broadcastWindow; }

    // Archive purge: the timer runs exactly when purgeVal is non-zero.
    void setPurgeVal(int purgeVal);
    int purgeVal() const { return m_purgeVal; }
    const QTimer& tmrPurge() const { return m_tmrPurge; }
    void purgeWhenDue();
    int purgeCounter() const { return m_purgeCounter; }
    // Starts the purge program hidden; nothing when purgeVal is 0. Returns false
    // when the program could not be started (reported on the status line).
    bool purge();

signals:
    void hideIngestCheckedChanged(bool checked);
    void netLinkChanged(const QString& command);
    // The "Hide Ingest" menu item is shown or not (hidden in network mode).
    void hideIngestVisibleChanged(bool visible);
    // Bring the main window to the foreground.
    void mainWindowToFront();
    // The delayed hide of a backup engine window has run.
    void backupHideDone();

private:
    quint64 findInternetWindow(bool connectedFirst) const;
    qint64 startProgram(const QString& name);
    void hideBackupWindow();

    QString m_programDir;
    IProcessLauncher& m_launcher;
    IWindowControl& m_windows;
    StatusLine& m_status;
    bool m_hideIngestChecked = false;
    QString m_netLink;
    quint64 m_internetWindow = 0;
    quint64 m_broadcastWindow = 0;
    QTimer m_tmrPurge;
    int m_purgeVal = 0;
    int m_purgeCounter = 0;
    QTimer m_backupHideTimer;
    EngineLink m_link;
    int m_backupHideDelay = 5000;
};
