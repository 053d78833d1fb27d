#pragma once

#include <QByteArray>
#include <QString>

// The serial line to the modem.
class IModemLine
{
public:
    virtual ~IModemLine() = default;
    // Writes all bytes; false when the line failed.
    virtual bool write(const QByteArray& bytes) = 0;
    // What arrives within timeoutMs (empty on time-out or failure).
    virtual QByteArray read(int timeoutMs) = 0;
    // Data terminal ready: dropping it makes a modem hang up.
    virtual void setDataTerminalReady(bool on) = 0;
    virtual bool failed() const = 0;
    virtual QString errorText() const = 0;
};
