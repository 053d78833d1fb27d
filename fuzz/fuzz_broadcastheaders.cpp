// The broadcast stream decoder and the file assembler behind it, fed packets
// that are well framed but carry hostile headers: any block number, block
// count and /DL length (negative, zero, huge), unsafe file names, wrong
// checksums, date stamps that come and go, long idle gaps. Random bytes
// (fuzz_broadcast) rarely get past the framing; these always do.
//
// Input: byte 0 chooses the stream form and the piece size of the reads, then
// up to 200 records of 11 bytes (the fuzz script stops at 64): flags,
// block (int32), total (int32), /DL offset, fill.
// Flags: bits 0-1 the data pattern, 2-4 the file name, 5 compressed form,
// 6 block and total as given (else small), 7 a wrong sum (with fill bit 0).
//
// Checked: every block handed on has a safe name and a block inside 1..total;
// with every /DL right, exactly the packets with a valid header come out, in
// order, marked good exactly when their sum is right; the assembler keeps its
// bounds, hands out no file longer than its blocks, and holds nothing once
// everything is evicted.

#include "FileAssembler.h"
#include "FuzzInput.h"
#include "PacketEncoder.h"
#include "PacketHeader.h"
#include "StreamDecoder.h"

#include <QHash>
#include <QList>
#include <algorithm>
#include <cstring>

namespace {

const char* const kNames[] = {"TORGRRMI.TXT", "RADALLUS.GIF", "ZONES.ZIS", "FILLFILE.TXT",
                              "a.txt",        "../ETC.TXT",   "-X.TXT",    "TOOLONGNAME.TXT"};
const char* const kDates[] = {"12/7/2026 12:00:00 PM", "", "1/1/1970 1:00:00 AM", " 5 "};

struct Record
{
    quint8 flags = 0;
    qint32 block = 0;
    qint32 total = 0;
    qint8 lengthOffset = 0;
    quint8 fill = 0;
};

qint32 int32At(const uint8_t* p)
{
    qint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Small numbers most of the time, so that files do complete.
qint32 shaped(qint32 raw, quint8 flags)
{
    return (flags & 0x40) ? raw : raw % 9;
}

QByteArray blockData(const Record& r)
{
    QByteArray data(PacketHeader::BlockSize, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(((r.fill + i * (r.flags & 3)) & 0xFF) | 1);
    if (r.fill & 0x80) { // a text file's last block: padding with 0x00
        for (int i = PacketHeader::BlockSize - (r.fill & 0x7F) * 8; i < data.size(); ++i)
            data[i] = '\0';
    }
    return data;
}

// The header text as a server would send it (no column limit: hostile
// numbers may push later fields out of the 80 bytes).
QByteArray headerText(const Record& r, quint32 sum, int dataLength)
{
    QByteArray h = QByteArray("/PF") + kNames[(r.flags >> 2) & 7];
    h += "/PN " + QByteArray::number(r.block).leftJustified(5, ' ');
    h += "/PT " + QByteArray::number(r.total).leftJustified(5, ' ');
    h += "/CS " + QByteArray::number(sum).leftJustified(7, ' ');
    h += QByteArray("/FD") + kDates[(r.fill >> 5) & 3];
    if (dataLength != 0)
        h += "/DL" + QByteArray::number(dataLength);
    return h.leftJustified(PacketHeader::Size - 2, ' ', true) + "\r\n";
}

// Records per input: more than the assembler holds at once (its limits below
// are small), few enough that an input is decoded in well under a millisecond.
constexpr size_t kRecord = 11;
constexpr size_t kMaxRecords = 200;

// A block depends on two bytes of a record only (the fill and the pattern
// bits): each is built, summed and compressed once per run, so that the time
// of an input goes to the decoder and the assembler.
struct Block
{
    QByteArray data;
    quint32 sum = 0;
    QByteArray packed;
};

const Block& blockFor(const Record& r)
{
    static QHash<int, Block> blocks;
    const int key = (r.fill << 2) | (r.flags & 3);
    auto it = blocks.constFind(key);
    if (it == blocks.constEnd()) {
        Block b;
        b.data = blockData(r);
        b.sum = StreamDecoder::checksum(b.data);
        b.packed = PacketEncoder::deflateBlock(b.data);
        it = blocks.insert(key, b);
    }
    return *it;
}

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool xorStream = data[0] & 1;
    const size_t piece = 1 + (data[0] >> 1) * 37;
    QByteArray stream;
    stream.reserve(qsizetype(std::min(size / kRecord, kMaxRecords)) *
                   (PacketHeader::Size + PacketHeader::BlockSize + 12));
    QList<PacketHeader> expected;
    QList<bool> expectedGood;
    bool lengthsRight = true;
    for (size_t at = 1; at + kRecord <= size && at < 1 + kRecord * kMaxRecords; at += kRecord) {
        Record r;
        r.flags = data[at];
        r.block = shaped(int32At(data + at + 1), r.flags);
        r.total = shaped(int32At(data + at + 5), r.flags);
        r.lengthOffset = qint8(data[at + 9]);
        r.fill = data[at + 10];
        const Block& block = blockFor(r);
        const bool badSum = (r.flags & 0x80) && (r.fill & 1);
        const quint32 sum = block.sum + (badSum ? 1 : 0);
        QByteArray payload = block.data;
        int dataLength = 0;
        if (r.flags & 0x20) {
            const QByteArray& packed = block.packed;
            if (!packed.isEmpty() && packed.size() < PacketHeader::BlockSize) {
                dataLength = int(packed.size()) + r.lengthOffset;
                payload = packed;
                lengthsRight = lengthsRight && r.lengthOffset == 0;
            }
        }
        const QByteArray header = headerText(r, sum, dataLength);
        const QByteArray sync(6, '\0');
        stream += sync + header + payload;
        if (dataLength == 0)
            stream += sync;
        if (const auto parsed = PacketHeader::parse(header)) {
            // A field pushed out of the 80 bytes leaves a header that misstates the length.
            lengthsRight = lengthsRight && parsed->dataLength == std::max(dataLength, 0);
            expected << *parsed;
            expectedGood << !badSum;
        }
    }
    if (xorStream)
        stream = PacketEncoder::xored(stream);

    StreamDecoder decoder(xorStream);
    StreamDecoder::Output out;
    for (qsizetype at = 0; at < stream.size(); at += qsizetype(piece))
        decoder.feed(
            QByteArrayView(stream).sliced(at, std::min<qsizetype>(piece, stream.size() - at)), out);

    if (lengthsRight) {
        check(out.blocks.size() == expected.size());
        for (qsizetype i = 0; i < out.blocks.size(); ++i) {
            const PacketHeader& got = out.blocks.at(i).header;
            check(got.fileName == expected.at(i).fileName && got.block == expected.at(i).block &&
                  got.total == expected.at(i).total && got.dateText == expected.at(i).dateText);
            check(out.blocks.at(i).checksumOk == expectedGood.at(i));
        }
    }

    FileAssembler::Limits limits;
    limits.evictAfterMs = 1000;
    limits.rememberMs = 5000;
    limits.maxPartialFiles = 4;
    FileAssembler assembler(limits);
    qint64 clock = 0;
    for (qsizetype i = 0; i < out.blocks.size(); ++i) {
        const DecodedBlock& b = out.blocks.at(i);
        check(PacketHeader::isSafeFileName(b.header.fileName));
        check(b.header.block >= 1 && b.header.block <= b.header.total &&
              b.header.total <= PacketHeader::MaxBlocks);
        clock +=
            (!b.data.isEmpty() && (b.data.at(0) & 0x10)) ? 200000 : 10; // now and then a long gap
        FileAssembler::CompletedFile file;
        const auto result = assembler.add(b, clock, &file);
        if (result == FileAssembler::Result::Completed) {
            check(PacketHeader::isSafeFileName(file.fileName));
            check(file.bytes.size() <= qsizetype(b.header.total) * PacketHeader::BlockSize);
        }
        check(assembler.partialCount() <= limits.maxPartialFiles);
        check(assembler.heldBytes() >= 0 &&
              assembler.heldBytes() <= qint64(limits.maxPartialFiles) * PacketHeader::MaxBlocks *
                                           PacketHeader::BlockSize);
        if (i % 16 == 15)
            (void)assembler.evict(clock);
    }
    (void)assembler.evict(clock + limits.evictAfterMs + 1);
    check(assembler.partialCount() == 0 && assembler.heldBytes() == 0);
    return 0;
}
