#include "alarms/AlarmSound.h"

#include "alarms/ISoundOutput.h"
#include "core/MenuDefinitions.h"
#include "core/Settings.h"

#include <algorithm>

namespace {
// The configuration dialog writes -1 for a chosen option; any other value is off.
bool isOn(qint16 value)
{
    return value == -1;
}
} // namespace

AlarmSound::AlarmSound(const Settings& settings, const MenuDefinitions& menus, QObject* parent)
    : QObject(parent), m_settings(settings), m_menus(menus)
{
    m_tmrFlash.setInterval(FileInterval);
    connect(&m_tmrFlash, &QTimer::timeout, this, &AlarmSound::repeatSound);
    m_speechTimer.setSingleShot(true);
    connect(&m_speechTimer, &QTimer::timeout, this, &AlarmSound::speak);
}

void AlarmSound::PlayAudio(const QString& LocationF)
{
    if (LocationF == Beep) {
        beepOnce();
        m_tag = Beep;
        m_tmrFlash.setInterval(BeepInterval);
    } else {
        m_path = LocationF;
        m_tag.clear();
        m_tmrFlash.setInterval(FileInterval);
    }
    m_ticks = 0;
    ++m_generation;
    m_speechPath.clear();
    m_speechTimer.stop();
    setRunning(true);
    m_tmrFlash.start();
    repeatSound();
}

int AlarmSound::limit() const
{
    if (m_tag == Beep)
        return BeepLimit;
    const int minutes = m_menus.restrictedAudioMinutes();
    return minutes != 0 ? TicksPerMinute * minutes : FileLimit;
}

void AlarmSound::repeatSound()
{
    ++m_ticks;
    if (isOn(m_settings.LimitOneAudio) && m_ticks == 1)
        stopTicks(); // this tick's sound is still played
    if (m_tag == Beep)
        beepOnce();
    else
        playOnce(m_path);
    m_sinceTick.start();
    if (isOn(m_settings.LimitAudio) && m_ticks > limit())
        stopTicks();
    else
        scheduleSpeech();
}

void AlarmSound::stopTicks()
{
    if (m_output)
        m_output->close();
    m_tmrFlash.stop();
    setRunning(false);
}

void AlarmSound::mute()
{
    ++m_generation;
    m_speechTimer.stop();
    m_speechPath.clear();
    stopTicks();
    emit muted();
}

void AlarmSound::setSpeech(quint64 generation, const QString& path, int soundMs, int speechMs)
{
    if (generation != m_generation || path.isEmpty())
        return;
    m_speechPath = path;
    m_soundMs = m_tag == Beep ? 0 : std::max(0, soundMs);
    m_speechMs = std::max(0, speechMs);
    m_sinceSpeech.invalidate();
    scheduleSpeech();
}

void AlarmSound::scheduleSpeech()
{
    if (m_speechPath.isEmpty() || m_speechTimer.isActive())
        return;
    const bool speaking = m_sinceSpeech.isValid() && m_sinceSpeech.elapsed() < m_speechMs;
    if (speaking && m_tag == Beep)
        return; // beeps come every second; the words wait for their end
    const qint64 sinceTick = m_sinceTick.isValid() ? m_sinceTick.elapsed() : 0;
    m_speechTimer.start(static_cast<int>(std::max<qint64>(0, m_soundMs - sinceTick)) + SpeechGap);
}

void AlarmSound::speak()
{
    if (m_speechPath.isEmpty())
        return;
    playOnce(m_speechPath);
    m_sinceSpeech.start();
}

void AlarmSound::playOnce(const QString& path)
{
    if (m_output && !path.isEmpty())
        m_output->play(path);
}

void AlarmSound::beepOnce()
{
    if (m_output)
        m_output->beep();
}

void AlarmSound::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    emit runningChanged(running);
}
