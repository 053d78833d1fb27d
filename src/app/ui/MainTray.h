#pragma once

#include <QObject>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QWidget;

// The main window's tray icon, when the desktop has a tray: the short menu
// on it, and a double-click brings the window back.
class MainTray : public QObject
{
    Q_OBJECT
public:
    MainTray(QWidget& window, QMenu* menu, std::function<void()> restore);

    // False without a tray: minimising stays a normal minimise.
    bool present() const { return m_icon != nullptr; }
    void hide();
    // The tooltip: the window title and the alarms since the last mute.
    void setActiveAlarms(int count);

private:
    QWidget& m_window;
    QSystemTrayIcon* m_icon = nullptr;
};
