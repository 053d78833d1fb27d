#include "PacketEncoder.h"

#include "PacketHeader.h"
#include "StreamDecoder.h"

#include <zlib.h>

namespace {
const QByteArray kSync(6, '\0');
}

int PacketEncoder::blockCount(qsizetype bytes)
{
    return static_cast<int>(
        std::max<qsizetype>(1, (bytes + PacketHeader::BlockSize - 1) / PacketHeader::BlockSize));
}

QByteArray PacketEncoder::deflateBlock(const QByteArray& block)
{
    uLongf length = compressBound(static_cast<uLong>(block.size()));
    QByteArray out(static_cast<qsizetype>(length), '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &length,
                  reinterpret_cast<const Bytef*>(block.constData()),
                  static_cast<uLong>(block.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.truncate(static_cast<qsizetype>(length));
    return out;
}

QByteArray PacketEncoder::packet(const QString& fileName, int block, int total,
                                 const QString& dateText, const QByteArray& data, Form form)
{
    QByteArray padded = data.left(PacketHeader::BlockSize);
    padded.append(PacketHeader::BlockSize - padded.size(), '\0');
    PacketHeader h;
    h.fileName = fileName;
    h.block = block;
    h.total = total;
    h.checksum = StreamDecoder::checksum(padded);
    h.dateText = dateText;
    if (form == Form::Compressed) {
        const QByteArray packed = deflateBlock(padded);
        if (!packed.isEmpty() && packed.size() < PacketHeader::BlockSize) {
            h.dataLength = static_cast<int>(packed.size());
            return kSync + h.toBytes() + packed;
        }
    }
    return kSync + h.toBytes() + padded + kSync;
}

QList<QByteArray> PacketEncoder::filePackets(const QString& fileName, const QByteArray& bytes,
                                             const QString& dateText, Form form)
{
    const int total = blockCount(bytes.size());
    QList<QByteArray> packets;
    packets.reserve(total);
    for (int i = 0; i < total; ++i)
        packets << packet(
            fileName, i + 1, total, dateText,
            bytes.mid(qsizetype(i) * PacketHeader::BlockSize, PacketHeader::BlockSize), form);
    return packets;
}

QByteArray PacketEncoder::serverListFrame(const QStringList& servers, const QStringList& satServers)
{
    return kSync + "/ServerList/" + servers.join(QLatin1Char('|')).toLatin1() +
           "\\ServerList\\/SatServers/" + satServers.join(QLatin1Char('+')).toLatin1() +
           "\\SatServers\\" + QByteArray(1, '\0');
}

QByteArray PacketEncoder::logon(const QString& address, int version)
{
    QByteArray text = "ByteBlast Client|NM-" + address.toLatin1();
    if (version >= 2)
        text += "|V2";
    else if (version == 1)
        text += "|V1";
    return text;
}

QByteArray PacketEncoder::xored(QByteArray bytes)
{
    for (char& c : bytes)
        c = static_cast<char>(c ^ 0xFF);
    return bytes;
}
