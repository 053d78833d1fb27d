// The heading of a received text product: its first lines, however long,
// binary or cut short.

#include "FuzzInput.h"
#include "ingest/ProductHeader.h"

#include <QBuffer>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray input = FuzzInput::bytes(data, size);
    QBuffer device(&input);
    device.open(QIODevice::ReadOnly);
    const QStringList lines = ProductHeader::headLines(device);
    const ProductHeader header = ProductHeader::read(lines);
    // What the header gives is used to build a file name; it must stay short.
    if (header.identifier.size() > ProductHeader::MaxLineLength)
        __builtin_trap();
    (void)header.areaCode();
    return 0;
}
