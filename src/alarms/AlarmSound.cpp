#include "alarms/AlarmSound.h"

#include "alarms/ISoundOutput.h"
#include "core/MenuDefinitions.h"
#include "core/Settings.h"

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
    connect(&m_tmrFlash, &QTimer::timeout, this, &AlarmSound::tick);
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
    setRunning(true);
    m_tmrFlash.start();
    tick();
}

int AlarmSound::limit() const
{
    if (m_tag == Beep)
        return BeepLimit;
    const int minutes = m_menus.restrictedAudioMinutes();
    return minutes != 0 ? TicksPerMinute * minutes : FileLimit;
}

void AlarmSound::tick()
{
    ++m_ticks;
    if (isOn(m_settings.LimitOneAudio) && m_ticks == 1)
        mute(); // this tick's sound is still played
    if (m_tag == Beep)
        beepOnce();
    else
        playOnce(m_path);
    if (isOn(m_settings.LimitAudio) && m_ticks > limit())
        mute();
}

void AlarmSound::mute()
{
    if (m_output)
        m_output->close();
    m_tmrFlash.stop();
    setRunning(false);
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
