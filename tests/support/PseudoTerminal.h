#pragma once

// A pseudo-terminal standing in for a receiver on a serial line: what is sent
// to the master side arrives at whoever opens slavePath(). The slave side is
// held open in raw mode, so that no byte is translated. Header only.

#include <QObject>
#include <QString>
#include <QTimer>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal : public QObject
{
public:
    PseudoTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
        m_slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        connect(&m_timer, &QTimer::timeout, this, &PseudoTerminal::pump);
    }
    ~PseudoTerminal() override
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    QString slavePath() const { return m_slavePath; }
    void send(const QByteArray& bytes)
    {
        m_pending += bytes;
        m_timer.start(1);
    }
    bool drained() const { return m_sent >= m_pending.size(); }

private:
    void pump()
    {
        while (m_sent < m_pending.size()) {
            const qsizetype n = std::min<qsizetype>(4096, m_pending.size() - m_sent);
            const ssize_t written = ::write(m_master, m_pending.constData() + m_sent, n);
            if (written <= 0)
                return; // full: the reader catches up, the next tick goes on
            m_sent += written;
        }
        m_timer.stop();
    }

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_pending;
    qsizetype m_sent = 0;
    QTimer m_timer;
};
