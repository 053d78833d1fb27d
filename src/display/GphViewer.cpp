#include "display/GphViewer.h"

#include "app/MainState.h"
#include "display/IKeystrokeSender.h"
#include "platform/ProcessLauncher.h"

#include <QTimer>

GphViewer::GphViewer(MainState& state, IKeystrokeSender& keys, QObject* parent)
    : QObject(parent), m_state(state), m_keys(keys)
{
}

bool GphViewer::startViewer()
{
    const QString path = m_state.settings.GPHPath;
    if (path.isEmpty()) {
        m_state.setDisplay(NoPath, QString());
        return false;
    }
    const QString program = path + QStringLiteral("gphplot");
    if (m_state.services().launcher->start(QLatin1Char('"') + program + QLatin1Char('"'),
                                           LaunchWindow::Normal) == 0) {
        m_state.status.setText(QStringLiteral("GPH viewer not found: ") + program);
        return false;
    }
    return true;
}

void GphViewer::send(const QString& keys)
{
    if (!m_keys.sendKeys(WindowTitle, keys))
        m_state.status.setText(
            QStringLiteral("Keystrokes to the GPH Viewer not sent: xdotool is not installed"));
}

void GphViewer::open(const QString& entry)
{
    if (!startViewer())
        return;
    const QString keys =
        QStringLiteral("+{F6}") + m_state.settings.AFOSPath + entry + QStringLiteral("\r\n");
    QTimer::singleShot(StartDelayMs, this, [this, keys] { send(keys); });
}

void GphViewer::AFOSPrint(const QString& afosFileName)
{
    if (!startViewer())
        return;
    const QString keys = QStringLiteral("+{F6}") + m_state.settings.AFOSPath + afosFileName +
                         QStringLiteral("\r\n%F{DOWN}{DOWN}{DOWN}{ENTER}%L{ENTER}%F"
                                        "{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}");
    QTimer::singleShot(StartDelayMs, this, [this, keys] {
        send(keys);
        QTimer::singleShot(PrintWaitMs, this, [this] {
            send(QStringLiteral("%F{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}"));
        });
    });
}
