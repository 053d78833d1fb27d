// The heading of a received text product: its first lines, however long,
// binary or cut short; each line also read as a product name and a product
// key, which must read back as they were written.

#include "FuzzInput.h"
#include "ingest/ProductHeader.h"
#include "product/ProductKey.h"
#include "product/ProductName.h"

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
    (void)header.awipsId();
    for (const QString& line : lines) {
        if (const auto key = ProductKey::parse(line)) {
            const ProductKey made =
                ProductKey::make(key->identifier(), key->station(), key->state());
            if (made.fileName(key->version()) != line)
                __builtin_trap();
        }
        if (const auto name = ProductName::parse(line))
            (void)(name->state() + name->extension() + name->suffix());
    }
    return 0;
}
