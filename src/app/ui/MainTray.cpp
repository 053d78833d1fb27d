#include "app/ui/MainTray.h"

#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

MainTray::MainTray(QWidget& window, QMenu* menu, std::function<void()> restore) : QObject(&window)
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

void MainTray::setToolTip(const QString& text)
{
    if (m_icon)
        m_icon->setToolTip(text);
}
