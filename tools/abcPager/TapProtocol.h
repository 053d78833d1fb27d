#pragma once

#include <QByteArray>

// The Telocator Alphanumeric Protocol: its characters, the log-on and
// log-off sequences and page blocks with their checksum. A terminal answers
// a block with ACK (taken), NAK (send again) or RS (not taken).
class TapProtocol
{
public:
    static constexpr char STX = 0x02;
    static constexpr char ETX = 0x03;
    static constexpr char EOT = 0x04;
    static constexpr char ACK = 0x06;
    static constexpr char CR = 0x0d;
    static constexpr char NAK = 0x15;
    static constexpr char ESC = 0x1b;
    static constexpr char RS = 0x1e;

    // Three characters, each 0x30 + one nibble of the low 12 bits of the sum
    // of every character from STX through ETX.
    static QByteArray checksum(const QByteArray& stxThroughEtx);
    // STX pin CR message CR ETX checksum CR.
    static QByteArray block(const QByteArray& pin, const QByteArray& message);
    // ESC "PG1" password CR: log on for paging.
    static QByteArray logOn(const QByteArray& password);
    // The go-ahead the terminal sends when it is ready for blocks.
    static QByteArray goAhead();
    // EOT CR: the end of the transaction.
    static QByteArray logOff();
    // ESC EOT: the terminal ends the call.
    static QByteArray disconnect();
};
