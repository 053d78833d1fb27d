#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The 80-byte ASCII header of one broadcast packet. Fields are found by their
// "/XX" tokens, not by column, since servers place them differently.
class PacketHeader
{
public:
    static constexpr int Size = 80;
    static constexpr int BlockSize = 1024;
    // 4 MB: far above the largest broadcast product; larger totals are
    // corrupt or hostile headers
    static constexpr int MaxBlocks = 4096;

    QString fileName; // NAME.EXT as sent
    int block = 0;    // 1..total
    int total = 0;    // number of blocks of the file
    quint32 checksum = 0;
    QString dateText;   // the /FD field, blanks collapsed; part of the file's key
    int dataLength = 0; // /DL: bytes of compressed data; 0 = plain 1024-byte block

    // The header, or nothing when a required field is missing or implausible
    // (a hostile or corrupted name, a block outside 1..total, a bad /DL).
    static std::optional<PacketHeader> parse(QByteArrayView header);
    // The header as sent: fields, blanks up to 78 bytes, CR LF.
    QByteArray toBytes() const;

    // A file name that is safe to create in the Data-In directory: 1 to 8
    // letters, digits, "_" or "-", a point and a 1 to 3 character extension.
    static bool isSafeFileName(const QString& name);
    QString extension() const;
};
