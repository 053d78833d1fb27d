#include "app/ui/MainTray.h"

#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

MainTray::MainTray(QWidget& window, QMenu* menu, std::function<void()> restore)
    : QObject(&window), m_window(window)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QIcon icon = window.windowIcon();
    if (icon.isNull())
        icon = window.style()->standardIcon(QStyle::SP_ComputerIcon);
    m_icon = new QSystemTrayIcon(icon, &window);
    m_icon->setToolTip(window.windowTitle());
    m_icon->setContextMenu(menu);
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [restore = std::move(restore)](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    restore();
            });
    m_icon->show();
}

void MainTray::hide()
{
    if (m_icon)
        m_icon->hide();
}

void MainTray::setActiveAlarms(int count)
{
    if (!m_icon)
        return;
    QString tip = m_window.windowTitle();
    if (count > 0)
        tip += QStringLiteral("\n%1 active alarm%2 since the last mute")
                   .arg(count)
                   .arg(count == 1 ? QString() : QStringLiteral("s"));
    m_icon->setToolTip(tip);
}
