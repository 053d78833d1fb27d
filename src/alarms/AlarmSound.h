#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class ISoundOutput;
class MenuDefinitions;
class Settings;

// The repeating alarm sound (tmrFlash): a sound file every 10 seconds or a
// beep every second, until muted, or until the limits of the settings stop
// it ("Restrict": 24 ticks of a sound file, or 6 per minute of the menu
// file's restricted-audio minutes, 300 beeps; "Once": the first tick only).
// Only one alarm sound runs at a time: a new one replaces the old.
class AlarmSound : public QObject
{
    Q_OBJECT
public:
    static constexpr int FileInterval = 10000;
    static constexpr int BeepInterval = 1000;
    static constexpr int FileLimit = 24;
    static constexpr int BeepLimit = 300;
    static constexpr int TicksPerMinute = 6;
    static inline const QString Beep = QStringLiteral("BEEP");

    AlarmSound(const Settings& settings, const MenuDefinitions& menus, QObject* parent = nullptr);

    // Where the sounds go; without an output the ticks are counted silently.
    void setOutput(ISoundOutput* output) { m_output = output; }

    // Starts the alarm sound: a sound file path, or "BEEP".
    void PlayAudio(const QString& LocationF);
    // One tick of tmrFlash: counts, plays, and mutes at the limits.
    void tick();
    // Ends the alarm sound (menu, button, F10, "~" in a scrolling window).
    void mute();

    // Plays a sound file once, outside the repetition (the alarm list's tone).
    void playOnce(const QString& path);
    void beepOnce();

    // True while an alarm sound runs (mute is offered).
    bool running() const { return m_running; }
    int ticks() const { return m_ticks; }
    QString tag() const { return m_tag; }
    QString soundPath() const { return m_path; }
    const QTimer& tmrFlash() const { return m_tmrFlash; }

signals:
    void runningChanged(bool running);

private:
    int limit() const;
    void setRunning(bool running);

    const Settings& m_settings;
    const MenuDefinitions& m_menus;
    ISoundOutput* m_output = nullptr;
    QTimer m_tmrFlash;
    QString m_path;
    QString m_tag;
    qint32 m_ticks = 0;
    bool m_running = false;
};
