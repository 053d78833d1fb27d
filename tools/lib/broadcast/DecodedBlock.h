#pragma once

#include "PacketHeader.h"

#include <QByteArray>

// One block as taken from the stream: its header and the 1024 data bytes
// (uncompressed, padded), and whether the bytes add up to the header's sum.
struct DecodedBlock
{
    PacketHeader header;
    QByteArray data;
    bool checksumOk = false;
    bool compressed = false;
};
