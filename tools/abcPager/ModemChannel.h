#pragma once

#include <QByteArray>
#include <QList>

class IModemLine;

// Reads what the modem sends into a buffer and waits, within a time limit,
// for one of several expected texts.
class ModemChannel
{
public:
    explicit ModemChannel(IModemLine& line);

    bool send(const QByteArray& bytes);
    // Index of the first of the texts to appear, -1 on time-out or line
    // failure. Everything up to the end of that text is consumed.
    int waitFor(const QList<QByteArray>& texts, int timeoutMs);
    // Reads for the given time, keeping what arrives in the buffer.
    void collect(int ms);
    // Drops everything received so far.
    void clear() { m_buffer.clear(); }
    QByteArray& buffer() { return m_buffer; }
    IModemLine& line() { return m_line; }

private:
    IModemLine& m_line;
    QByteArray m_buffer;
};
