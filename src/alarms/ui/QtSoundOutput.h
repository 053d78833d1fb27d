#pragma once

#include "alarms/ISoundOutput.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class QMediaDevices;
class QSoundEffect;
class StatusLine;

// Alarm sounds through Qt Multimedia: WAV files with QSoundEffect, the beep
// of the windowing system. Without a sound output device the files are not
// played and the status line says so once; a missing sound file is named
// there once as well.
class QtSoundOutput : public QObject, public ISoundOutput
{
    Q_OBJECT
public:
    static inline const QString NoDevice =
        QStringLiteral("No sound output device: alarm sounds are not played");
    // Pause after a sound ends before it is closed.
    static constexpr int CloseDelay = 990;

    explicit QtSoundOutput(StatusLine& status, QObject* parent = nullptr);
    ~QtSoundOutput() override;

    void play(const QString& path) override;
    void beep() override;
    void close() override;

    bool hasDevice() const { return m_hasDevice; }

private:
    void checkDevices();
    void playbackChanged();

    StatusLine& m_status;
    QMediaDevices* m_devices = nullptr;
    QSoundEffect* m_effect = nullptr;
    QTimer m_closeTimer;
    bool m_hasDevice = false;
    bool m_reportedNoDevice = false;
    QSet<QString> m_reportedMissing;
};
