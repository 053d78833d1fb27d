#pragma once

#include "abcPager/IModemLine.h"

#include <QSerialPort>

// The modem on a serial port (a device such as /dev/ttyS0 or /dev/ttyUSB0).
class SerialModemLine : public IModemLine
{
public:
    struct Format
    {
        int speed = 1200;
        QString parity = QStringLiteral("E"); // "N", "E" or "O"
        int dataBits = 7;
        int stopBits = 1;
    };

    // Opens and sets up the port; false with a reason when it cannot be
    // opened. A port that does not take the format (a virtual port without
    // parity) is still used; *note then says so.
    bool open(const QString& port, const Format& format, QString* error, QString* note);
    static QString formatText(const Format& format);
    void close();

    bool write(const QByteArray& bytes) override;
    QByteArray read(int timeoutMs) override;
    void setDataTerminalReady(bool on) override;
    bool failed() const override;
    QString errorText() const override;

private:
    QSerialPort m_port;
    bool m_failed = false;
};
