#include "abcPager/TapProtocol.h"

QByteArray TapProtocol::checksum(const QByteArray& stxThroughEtx)
{
    unsigned sum = 0;
    for (const char c : stxThroughEtx)
        sum += static_cast<unsigned char>(c) & 0x7f;
    sum &= 0xfff;
    QByteArray text(3, '0');
    text[0] = static_cast<char>(0x30 + ((sum >> 8) & 0xf));
    text[1] = static_cast<char>(0x30 + ((sum >> 4) & 0xf));
    text[2] = static_cast<char>(0x30 + (sum & 0xf));
    return text;
}

QByteArray TapProtocol::block(const QByteArray& pin, const QByteArray& message)
{
    const QByteArray body = QByteArray(1, STX) + pin + CR + message + CR + ETX;
    return body + checksum(body) + CR;
}

QByteArray TapProtocol::logOn(const QByteArray& password)
{
    return QByteArray(1, ESC) + "PG1" + password + CR;
}

QByteArray TapProtocol::goAhead()
{
    return QByteArray(1, ESC) + "[p";
}

QByteArray TapProtocol::logOff()
{
    return QByteArray(1, EOT) + CR;
}

QByteArray TapProtocol::disconnect()
{
    return QByteArray(1, ESC) + EOT;
}
