#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class MainState;
class QPushButton;
class QStatusBar;
class QWidget;
class QtSoundOutput;
class ScrollWindows;
class frmAlarmBox;

// What the alarms show in the main window: the sound output, the scrolling
// alarm windows, the red Mute button on the status line (shown while a sound
// runs) and the alarm editor "EMWIN Alarms". Built and dropped with the main
// window; the alarm services themselves live on in MainState.
class MainAlarmWindows
{
public:
    struct Hooks
    {
        std::function<void()> mute;         // the Mute button, "~" in a scrolling window
        std::function<void()> showBulletin; // a scrolling window clicked
        std::function<void(bool running)> soundRunning;
    };

    MainAlarmWindows(MainState& state, QWidget& window, QStatusBar& statusBar, Hooks hooks);
    ~MainAlarmWindows();
    MainAlarmWindows(const MainAlarmWindows&) = delete;
    MainAlarmWindows& operator=(const MainAlarmWindows&) = delete;

    // Opens the editor (one at a time), its pattern field preset when given.
    void openEditor(const QString& preset);
    // Shutdown: editor (its file saved) and scrolling windows closed.
    void closeAll();

private:
    MainState& m_state;
    QWidget& m_window;
    QtSoundOutput* m_soundOutput;
    ScrollWindows* m_scrollWindows;
    QPushButton* m_mute;
    QPointer<frmAlarmBox> m_alarmBox;
};
