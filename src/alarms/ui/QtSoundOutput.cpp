#include "alarms/ui/QtSoundOutput.h"

#include "core/StatusLine.h"

#include <QApplication>
#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QtSoundOutput::QtSoundOutput(StatusLine& status, QObject* parent)
    : QObject(parent), m_status(status)
{
    m_devices = new QMediaDevices(this);
    connect(m_devices, &QMediaDevices::audioOutputsChanged, this, &QtSoundOutput::checkDevices);
    checkDevices();
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(CloseDelay);
    connect(&m_closeTimer, &QTimer::timeout, this, &QtSoundOutput::close);
}

QtSoundOutput::~QtSoundOutput()
{
    // The effect reports state changes while it is destroyed.
    if (m_effect)
        m_effect->disconnect(this);
}

void QtSoundOutput::checkDevices()
{
    m_hasDevice = !QMediaDevices::audioOutputs().isEmpty();
    if (m_hasDevice) {
        m_reportedNoDevice = false;
        if (m_effect)
            m_effect->setAudioDevice(QMediaDevices::defaultAudioOutput());
    }
}

void QtSoundOutput::play(const QString& path)
{
    if (!m_hasDevice) {
        if (!m_reportedNoDevice)
            m_status.setText(NoDevice);
        m_reportedNoDevice = true;
        return;
    }
    if (!QFileInfo(path).isFile()) {
        if (!m_reportedMissing.contains(path))
            m_status.setText(QStringLiteral("Sound file not found: ") + path);
        m_reportedMissing.insert(path);
        return;
    }
    if (!m_effect) {
        m_effect = new QSoundEffect(QMediaDevices::defaultAudioOutput(), this);
        connect(m_effect, &QSoundEffect::playingChanged, this, &QtSoundOutput::playbackChanged);
    }
    const QUrl source = QUrl::fromLocalFile(path);
    m_effect->stop();
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->play();
    // Stopping the sound before reports its end: that is not the new one's.
    m_closeTimer.stop();
}

void QtSoundOutput::playbackChanged()
{
    if (m_effect && !m_effect->isPlaying())
        m_closeTimer.start();
}

void QtSoundOutput::beep()
{
    QApplication::beep();
}

void QtSoundOutput::close()
{
    m_closeTimer.stop();
    if (m_effect)
        m_effect->stop();
}
