#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Builds the packets of the broadcast stream: the sending side of
// StreamDecoder, used by the test servers and the benchmark.
class PacketEncoder
{
public:
    enum class Form
    {
        Plain,     // V1: sync, header, 1024 bytes, sync
        Compressed // V2: sync, header with /DL, zlib data; plain when it does not shrink
    };

    // One packet of block number (1..total) of a file.
    static QByteArray packet(const QString& fileName, int block, int total, const QString& dateText,
                             const QByteArray& data, Form form);
    // Every packet of a file, in block order.
    static QList<QByteArray> filePackets(const QString& fileName, const QByteArray& bytes,
                                         const QString& dateText, Form form);
    // A server list frame: "/ServerList/a|b\ServerList\/SatServers/c+d\SatServers\" + 0x00.
    static QByteArray serverListFrame(const QStringList& servers, const QStringList& satServers);
    // The logon line a client sends ("ByteBlast Client|NM-<address>|V2").
    static QByteArray logon(const QString& address, int version);
    // Every byte XORed with 0xFF (the Internet stream, both directions).
    static QByteArray xored(QByteArray bytes);
    // zlib data of one block (without any length prefix).
    static QByteArray deflateBlock(const QByteArray& block);
    static int blockCount(qsizetype bytes);
};
