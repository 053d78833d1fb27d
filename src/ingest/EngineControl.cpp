#include "ingest/EngineControl.h"

#include "core/StatusLine.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"
#include "platform/WindowControl.h"

#include <QLocalSocket>

namespace {
const QString kEngine = QStringLiteral("Engine.exe");
const QString kBroadcastEngine = QStringLiteral("VTIngest.exe");
const QString kWeatherWireEngine = QStringLiteral("NWWSEngine");
constexpr int kListenCheckMs = 300;
const QString kPurge = QStringLiteral("RivarODEZE.exe");
constexpr int kPurgeMinutes = 60;
} // namespace

const QString EngineControl::InternetConnectedTitle =
    QStringLiteral("Vantorel / Internet Engine - Connected");
const QString EngineControl::InternetNotConnectedTitle =
    QStringLiteral("Vantorel / Internet Engine - Not Connected");
const QString EngineControl::BroadcastTitle = QStringLiteral("Vantorel Ingest");

EngineControl::EngineControl(QString programDir, IProcessLauncher& launcher,
                             IWindowControl& windows, StatusLine& status, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir)), m_launcher(launcher),
      m_windows(windows), m_status(status)
{
    m_tmrPurge.setInterval(60000);
    connect(&m_tmrPurge, &QTimer::timeout, this, &EngineControl::purgeWhenDue);
    m_backupHideTimer.setSingleShot(true);
    connect(&m_backupHideTimer, &QTimer::timeout, this, &EngineControl::hideBackupWindow);
}

EngineControl::Mode EngineControl::modeFrom(bool weathernodeMode, bool networkMode)
{
    if (weathernodeMode)
        return Mode::InternetFeed;
    return networkMode ? Mode::Network : Mode::Standalone;
}

quint64 EngineControl::findInternetWindow(bool connectedFirst) const
{
    const QString& first = connectedFirst ? InternetConnectedTitle : InternetNotConnectedTitle;
    const QString& second = connectedFirst ? InternetNotConnectedTitle : InternetConnectedTitle;
    const quint64 window = m_windows.findWindow(first);
    return window != 0 ? window : m_windows.findWindow(second);
}

// Starts an engine program in a normal window without the focus. The value
// returned is a process id, not a window: windows are only ever looked up.
qint64 EngineControl::startProgram(const QString& name)
{
    return m_launcher.start(m_programDir + name, LaunchWindow::NormalNoFocus);
}

void EngineControl::startupStep(Mode mode)
{
    switch (mode) {
    case Mode::InternetFeed:
        m_internetWindow = findInternetWindow(true);
        if (m_internetWindow == 0 && startProgram(kEngine) == 0)
            throw RuntimeError(ErrorNumber::FileNotFound, kEngine);
        m_status.setText(QStringLiteral("Internet Ingest Started"));
        m_internetWindow = findInternetWindow(true);
        if (m_hideIngestChecked) {
            setNetLink(QStringLiteral("HIDE"));
            if (m_internetWindow != 0)
                m_windows.hide(m_internetWindow);
            emit mainWindowToFront();
        }
        break;
    case Mode::Network:
        m_status.setText(QStringLiteral("Network Mode"));
        emit hideIngestVisibleChanged(false);
        break;
    case Mode::Standalone:
        if (startProgram(kBroadcastEngine) == 0)
            throw RuntimeError(ErrorNumber::FileNotFound, kBroadcastEngine);
        m_broadcastWindow = 0;
        m_status.setText(QStringLiteral("EMWIN Ingest Started"));
        break;
    }
}

void EngineControl::startWeatherWire()
{
    QLocalSocket probe;
    probe.connectToServer(EngineLink::serverPathFor(kWeatherWireEngine));
    if (probe.waitForConnected(kListenCheckMs))
        return; // runs already
    if (startProgram(kWeatherWireEngine) == 0)
        m_status.setText(QStringLiteral("NWWS Ingest could not be started: ") + kWeatherWireEngine +
                         QStringLiteral(" not found"));
    else
        m_status.setText(QStringLiteral("NWWS Ingest Started"));
}

void EngineControl::setHideIngestChecked(bool checked)
{
    if (m_hideIngestChecked == checked)
        return;
    m_hideIngestChecked = checked;
    emit hideIngestCheckedChanged(checked);
}

void EngineControl::setNetLink(const QString& command)
{
    m_link.send(command);
    if (m_netLink == command)
        return;
    m_netLink = command;
    emit netLinkChanged(command);
}

void EngineControl::finishCommands(int timeoutMs)
{
    m_link.finish(timeoutMs);
}

void EngineControl::toggleIngestWindows()
{
    m_internetWindow = findInternetWindow(true);
    m_broadcastWindow = m_windows.findWindow(BroadcastTitle);
    if (m_internetWindow == 0 && m_broadcastWindow == 0)
        return;
    if (!m_hideIngestChecked) {
        if (m_internetWindow != 0) {
            m_windows.hide(m_internetWindow);
            emit mainWindowToFront();
        }
        if (m_broadcastWindow != 0) {
            setNetLink(QStringLiteral("HIDE"));
            m_windows.hide(m_broadcastWindow);
            emit mainWindowToFront();
        }
        setHideIngestChecked(true);
        return;
    }
    for (const quint64 window : {m_internetWindow, m_broadcastWindow}) {
        if (window == 0)
            continue;
        m_windows.restore(window);
        m_windows.raise(window);
    }
    m_link.send(QStringLiteral("SHOW"));
    setHideIngestChecked(false);
}

void EngineControl::restoreEngineWindows()
{
    for (const quint64 window : {findInternetWindow(true), m_windows.findWindow(BroadcastTitle)}) {
        if (window != 0)
            m_windows.restore(window);
    }
}

void EngineControl::startInternetBackup()
{
    if (findInternetWindow(true) == 0 && startProgram(kEngine) == 0) {
        m_status.setText(QStringLiteral("Internet Ingest could not be started: ") + kEngine +
                         QStringLiteral(" not found"));
        return;
    }
    m_internetWindow = findInternetWindow(false);
    // The engine may need a moment to open its window: look again after the
    // wait, without holding up the window thread.
    if (m_hideIngestChecked)
        m_backupHideTimer.start(m_backupHideDelay);
    m_status.setText(QStringLiteral("Internet Ingest Started"));
}

void EngineControl::hideBackupWindow()
{
    m_internetWindow = findInternetWindow(false);
    if (m_hideIngestChecked && m_internetWindow != 0)
        m_windows.hide(m_internetWindow);
    emit backupHideDone();
}

void EngineControl::setPurgeVal(int purgeVal)
{
    m_purgeVal = purgeVal;
    if (purgeVal != 0)
        m_tmrPurge.start();
    else
        m_tmrPurge.stop();
}

void EngineControl::purgeWhenDue()
{
    if (++m_purgeCounter < kPurgeMinutes)
        return;
    m_purgeCounter = 0;
    purge();
}

bool EngineControl::purge()
{
    if (m_purgeVal == 0)
        return true;
    m_status.setText(QStringLiteral("Standby, cleaning archives."));
    if (m_launcher.start(m_programDir + kPurge, LaunchWindow::Hidden) != 0)
        return true;
    m_status.setText(QStringLiteral("Archive purge could not be started: ") + kPurge +
                     QStringLiteral(" not found"));
    return false;
}
