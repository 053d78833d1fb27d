#pragma once

#include "DecodedBlock.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <optional>

// Cuts a received byte stream into packets. The Internet stream is XORed with
// 0xFF (undone here); the serial stream is not. After six 0x00 bytes (and any
// further 0x00) comes either "/PF" (a data packet: header, then 1024 plain
// bytes or /DL bytes of zlib data) or "/ServerList/" (a server list ended by
// 0x00). Anything else is skipped byte by byte until the next sync. Read
// boundaries mean nothing: bytes may be fed in pieces of any size.
class StreamDecoder
{
public:
    struct Output
    {
        QList<DecodedBlock> blocks;    // checksum failures included, marked
        QList<QByteArray> serverLists; // the frame text without the final 0x00
    };
    struct Counters
    {
        qint64 packets = 0;
        qint64 checksumErrors = 0;
        qint64 badHeaders = 0;
        qint64 badCompressed = 0;
        qint64 skippedBytes = 0;
        qint64 serverLists = 0;
    };

    static constexpr int MaxServerListBytes = 8192;

    explicit StreamDecoder(bool xorStream);

    // Decodes what the bytes complete; keeps an unfinished packet for later.
    void feed(QByteArrayView bytes, Output& out);
    // Forgets a half-received packet (a new connection starts a new stream).
    void reset();
    const Counters& counters() const { return m_counters; }

    // Sum of the unsigned bytes; a block is good when the header's sum equals
    // it in full or in its low 16 bits.
    static quint32 checksum(QByteArrayView data);
    static bool checksumMatches(quint32 sum, quint32 headerSum);
    // Inflates zlib data into exactly one padded block; empty on failure or
    // when the data would expand beyond one block.
    static QByteArray inflateBlock(QByteArrayView compressed);

private:
    enum class Step
    {
        Done,    // a packet or frame was taken, or bytes were skipped
        NeedMore // wait for more bytes
    };
    Step step(Output& out);
    bool findSync();
    Step takePacket(Output& out);
    Step takeServerList(Output& out);
    void resync(int skip);
    qsizetype available() const { return m_buffer.size() - m_pos; }

    bool m_xor;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    bool m_synced = false;
    // The header of the packet at m_pos while its data is still arriving, so
    // that a packet read in small pieces is parsed once.
    std::optional<PacketHeader> m_pendingHeader;
    Counters m_counters;
};
