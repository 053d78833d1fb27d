#include "display/GphViewer.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "display/IKeystrokeSender.h"
#include "platform/ProcessLauncher.h"

#include <QTimer>

GphViewer::GphViewer(const Settings& settings, DisplayState& display, StatusLine& status,
                     IProcessLauncher& launcher, IKeystrokeSender& keys, QObject* parent)
    : QObject(parent), m_settings(settings), m_display(display), m_status(status),
      m_launcher(launcher), m_keys(keys)
{
}

bool GphViewer::startViewer()
{
    const QString path = m_settings.GPHPath;
    if (path.isEmpty()) {
        m_display.setDisplay(NoPath, QString());
        return false;
    }
    const QString program = path + QStringLiteral("gphplot");
    if (m_launcher.start(QLatin1Char('"') + program + QLatin1Char('"'), LaunchWindow::Normal) ==
        0) {
        m_status.setText(QStringLiteral("GPH viewer not found: ") + program);
        return false;
    }
    return true;
}

void GphViewer::send(const QString& keys)
{
    if (!m_keys.sendKeys(WindowTitle, keys))
        m_status.setText(
            QStringLiteral("Keystrokes to the GPH Viewer not sent: xdotool is not installed"));
}

void GphViewer::open(const QString& entry)
{
    if (!startViewer())
        return;
    const QString keys =
        QStringLiteral("+{F6}") + m_settings.AFOSPath + entry + QStringLiteral("\r\n");
    QTimer::singleShot(StartDelayMs, this, [this, keys] { send(keys); });
}

void GphViewer::AFOSPrint(const QString& afosFileName)
{
    if (!startViewer())
        return;
    const QString keys = QStringLiteral("+{F6}") + m_settings.AFOSPath + afosFileName +
                         QStringLiteral("\r\n%F{DOWN}{DOWN}{DOWN}{ENTER}%L{ENTER}%F"
                                        "{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}");
    QTimer::singleShot(StartDelayMs, this, [this, keys] {
        send(keys);
        QTimer::singleShot(PrintWaitMs, this, [this] {
            send(QStringLiteral("%F{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}"));
        });
    });
}
