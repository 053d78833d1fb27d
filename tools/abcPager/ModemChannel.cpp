#include "abcPager/ModemChannel.h"

#include "abcPager/IModemLine.h"

#include <QElapsedTimer>

ModemChannel::ModemChannel(IModemLine& line) : m_line(line) {}

bool ModemChannel::send(const QByteArray& bytes)
{
    return m_line.write(bytes);
}

int ModemChannel::waitFor(const QList<QByteArray>& texts, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        qsizetype best = -1;
        int found = -1;
        for (int i = 0; i < texts.size(); ++i) {
            const qsizetype at = m_buffer.indexOf(texts.at(i));
            if (at >= 0 && (best < 0 || at < best)) {
                best = at;
                found = i;
            }
        }
        if (found >= 0) {
            m_buffer.remove(0, best + texts.at(found).size());
            return found;
        }
        const qint64 left = timeoutMs - timer.elapsed();
        if (left <= 0 || m_line.failed())
            return -1;
        m_buffer += m_line.read(static_cast<int>(std::min<qint64>(left, 200)));
    }
}

void ModemChannel::collect(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms && !m_line.failed())
        m_buffer += m_line.read(static_cast<int>(std::max<qint64>(1, ms - timer.elapsed())));
}
