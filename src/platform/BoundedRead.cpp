#include "platform/BoundedRead.h"

#include <QIODevice>
#include <algorithm>

QByteArray BoundedRead::read(QIODevice& device, qint64 maxBytes)
{
    if (!device.isSequential()) {
        // A file is read as far as its size when it was opened: one piece.
        const qint64 want = std::min(device.size() - device.pos(), maxBytes);
        if (want <= 0)
            return QByteArray();
        QByteArray bytes(qsizetype(want), Qt::Uninitialized);
        const qint64 got = device.read(bytes.data(), want);
        bytes.resize(qsizetype(std::max<qint64>(got, 0)));
        return bytes;
    }
    QByteArray bytes;
    // A stream is read in chunks until it ends or the bound is reached.
    while (bytes.size() < maxBytes) {
        const qsizetype at = bytes.size();
        const qint64 want = std::min(maxBytes - at, ChunkBytes);
        bytes.resize(at + qsizetype(want));
        const qint64 got = device.read(bytes.data() + at, want);
        bytes.resize(at + qsizetype(std::max<qint64>(got, 0)));
        if (got <= 0)
            break; // the end, or an error the device reports
    }
    return bytes;
}
