#include "StreamDecoder.h"

#include <zlib.h>

namespace {
constexpr int kSyncLength = 6;
constexpr qsizetype kCompactAt = 65536;
const QByteArrayView kPacketStart("/PF");
const QByteArrayView kServerListStart("/ServerList/");
} // namespace

StreamDecoder::StreamDecoder(bool xorStream) : m_xor(xorStream) {}

void StreamDecoder::reset()
{
    m_buffer.clear();
    m_pos = 0;
    m_synced = false;
    m_pendingHeader.reset();
}

quint32 StreamDecoder::checksum(QByteArrayView data)
{
    quint32 sum = 0;
    for (const char c : data)
        sum += static_cast<unsigned char>(c);
    return sum;
}

bool StreamDecoder::checksumMatches(quint32 sum, quint32 headerSum)
{
    return sum == headerSum || (sum & 0xFFFF) == headerSum;
}

QByteArray StreamDecoder::inflateBlock(QByteArrayView compressed)
{
    QByteArray out(PacketHeader::BlockSize, '\0');
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return {};
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    zs.avail_in = static_cast<uInt>(compressed.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
    if (result != Z_STREAM_END)
        return {}; // corrupt, truncated, or more than one block
    return out;    // a shorter block stays padded with 0x00
}

void StreamDecoder::feed(QByteArrayView bytes, Output& out)
{
    const qsizetype start = m_buffer.size();
    m_buffer.append(bytes);
    if (m_xor) {
        char* p = m_buffer.data() + start;
        for (qsizetype i = 0; i < bytes.size(); ++i)
            p[i] = static_cast<char>(p[i] ^ 0xFF);
    }
    while (step(out) == Step::Done) {
    }
    if (m_pos >= kCompactAt || m_pos == m_buffer.size()) {
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
}

void StreamDecoder::resync(int skip)
{
    m_pos += skip;
    m_synced = false;
    m_pendingHeader.reset();
}

// Moves to just past six 0x00 bytes; false (keeping a possible partial sync)
// when the buffer holds none.
bool StreamDecoder::findSync()
{
    int zeros = 0;
    const char* data = m_buffer.constData();
    for (qsizetype i = m_pos; i < m_buffer.size(); ++i) {
        if (data[i] != '\0') {
            zeros = 0;
            continue;
        }
        if (++zeros == kSyncLength) {
            m_counters.skippedBytes += i + 1 - kSyncLength - m_pos;
            m_pos = i + 1;
            return true;
        }
    }
    const qsizetype keep = m_buffer.size() - zeros;
    m_counters.skippedBytes += keep - m_pos;
    m_pos = keep;
    return false;
}

StreamDecoder::Step StreamDecoder::step(Output& out)
{
    if (!m_synced) {
        if (!findSync())
            return Step::NeedMore;
        m_synced = true;
    }
    const char* data = m_buffer.constData();
    while (m_pos < m_buffer.size() && data[m_pos] == '\0')
        ++m_pos;
    const QByteArrayView rest(data + m_pos, available());
    if (rest.isEmpty())
        return Step::NeedMore;
    if (rest.startsWith(kPacketStart))
        return takePacket(out);
    if (rest.startsWith(kServerListStart))
        return takeServerList(out);
    if (kPacketStart.startsWith(rest) || kServerListStart.startsWith(rest))
        return Step::NeedMore; // too few bytes to tell yet
    ++m_counters.skippedBytes;
    resync(1);
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::takePacket(Output& out)
{
    if (available() < PacketHeader::Size)
        return Step::NeedMore;
    if (!m_pendingHeader) {
        m_pendingHeader =
            PacketHeader::parse(QByteArrayView(m_buffer.constData() + m_pos, PacketHeader::Size));
        if (!m_pendingHeader) {
            ++m_counters.badHeaders;
            resync(1);
            return Step::Done;
        }
    }
    const PacketHeader header = *m_pendingHeader;
    const int length = header.dataLength > 0 ? header.dataLength : PacketHeader::BlockSize;
    if (available() < PacketHeader::Size + length)
        return Step::NeedMore;
    const QByteArrayView payload(m_buffer.constData() + m_pos + PacketHeader::Size, length);
    DecodedBlock block;
    block.header = header;
    block.compressed = header.dataLength > 0;
    block.data = block.compressed ? inflateBlock(payload) : payload.toByteArray();
    resync(PacketHeader::Size + length);
    ++m_counters.packets;
    if (block.data.isEmpty()) {
        ++m_counters.badCompressed;
        return Step::Done;
    }
    block.checksumOk = checksumMatches(checksum(block.data), header.checksum);
    if (!block.checksumOk)
        ++m_counters.checksumErrors;
    out.blocks.append(std::move(block));
    return Step::Done;
}

StreamDecoder::Step StreamDecoder::takeServerList(Output& out)
{
    const qsizetype end = m_buffer.indexOf('\0', m_pos);
    if (end < 0) {
        if (available() <= MaxServerListBytes)
            return Step::NeedMore;
        ++m_counters.badHeaders; // no terminator: not a server list after all
        resync(1);
        return Step::Done;
    }
    if (end - m_pos > MaxServerListBytes) {
        ++m_counters.badHeaders;
        resync(1);
        return Step::Done;
    }
    out.serverLists.append(m_buffer.mid(m_pos, end - m_pos));
    ++m_counters.serverLists;
    resync(static_cast<int>(end - m_pos));
    return Step::Done;
}
