#pragma once

#include <QByteArray>

class QIODevice;

// Reads at most a bound of a device, holding only what it holds: a plain
// read(max) sets aside the whole bound first, whatever the file's size.
class BoundedRead
{
public:
    // Bytes handed to the device per read.
    static constexpr qint64 ChunkBytes = 64 * 1024;

    // The device's bytes from its position, up to maxBytes or its end (for a
    // file, its size when read). What was read before an error is returned;
    // the device keeps the error.
    static QByteArray read(QIODevice& device, qint64 maxBytes);
};
