#pragma once

#include <QObject>
#include <QString>

class DisplayState;
class IKeystrokeSender;
class IProcessLauncher;
class Settings;
class StatusLine;

// Drives the outside AFOS graphics viewer, which is found by its window
// title and operated by keystrokes: opening a graphic from a list and
// printing one. Waits run on timers, never blocking the window thread.
class GphViewer : public QObject
{
    Q_OBJECT
public:
    static inline const QString WindowTitle = QStringLiteral("GPH Viewer");
    static inline const QString NoPath =
        QStringLiteral("Need to set the path to GPHPLOT.EXE in Configuration");
    // Time the viewer is given to come up before keys are sent.
    static constexpr int StartDelayMs = 1000;
    static constexpr int PrintWaitMs = 10000;

    GphViewer(const Settings& settings, DisplayState& display, StatusLine& status,
              IProcessLauncher& launcher, IKeystrokeSender& keys, QObject* parent = nullptr);

    // Opens the graphic of a list entry in the viewer.
    void open(const QString& entry);
    // Has the viewer print an AFOS graphic.
    void AFOSPrint(const QString& afosFileName);

private:
    bool startViewer();
    void send(const QString& keys);

    const Settings& m_settings;
    DisplayState& m_display;
    StatusLine& m_status;
    IProcessLauncher& m_launcher;
    IKeystrokeSender& m_keys;
};
