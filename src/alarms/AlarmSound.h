#pragma once

#include <QElapsedTimer>
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
//
// Spoken words may follow the sound: after each tick's sound, while the
// previous words are not still being spoken. They stop with the ticks (the
// limits above, "Once": spoken once) and at once on mute.
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
    // Pause between the end of the sound and the words.
    static constexpr int SpeechGap = 300;

    AlarmSound(const Settings& settings, const MenuDefinitions& menus, QObject* parent = nullptr);

    // Where the sounds go; without an output the ticks are counted silently.
    void setOutput(ISoundOutput* output) { m_output = output; }

    // Starts the alarm sound: a sound file path, or "BEEP".
    void PlayAudio(const QString& LocationF);
    // One tick of tmrFlash: counts, plays, and mutes at the limits.
    void repeatSound();
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

    // Changes with every new alarm sound and every mute: words made for an
    // alarm whose sound has since been replaced or muted are not played.
    quint64 generation() const { return m_generation; }
    // The words (a sound file, speechMs long) that follow each tick's sound
    // (soundMs long) of the alarm sound of that generation.
    void setSpeech(quint64 generation, const QString& path, int soundMs, int speechMs);
    const QTimer& speechTimer() const { return m_speechTimer; }

signals:
    void runningChanged(bool running);
    // Mute was asked for (menu, button, F10, notification).
    void muted();

private:
    int limit() const;
    void setRunning(bool running);
    // Ends the ticks at a limit; words already due are still spoken.
    void stopTicks();
    void scheduleSpeech();
    void speak();

    const Settings& m_settings;
    const MenuDefinitions& m_menus;
    ISoundOutput* m_output = nullptr;
    QTimer m_tmrFlash;
    QString m_path;
    QString m_tag;
    qint32 m_ticks = 0;
    bool m_running = false;
    quint64 m_generation = 0;
    QTimer m_speechTimer;
    QString m_speechPath;
    int m_soundMs = 0;
    int m_speechMs = 0;
    QElapsedTimer m_sinceTick;
    QElapsedTimer m_sinceSpeech;
};
