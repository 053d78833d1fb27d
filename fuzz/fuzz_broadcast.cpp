// The broadcast stream decoder of the ingest engines: any byte stream, fed
// in pieces of any size, in both stream forms.

#include "FuzzInput.h"
#include "StreamDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const bool xorStream = data[0] & 1;
    const size_t piece = 1 + data[1];
    StreamDecoder decoder(xorStream);
    StreamDecoder::Output out;
    for (size_t at = 2; at < size; at += piece) {
        const size_t n = std::min(piece, size - at);
        decoder.feed(QByteArrayView(reinterpret_cast<const char*>(data + at), qsizetype(n)), out);
    }
    for (const QByteArray& list : out.serverLists) {
        if (list.size() > StreamDecoder::MaxServerListBytes)
            __builtin_trap();
    }
    (void)StreamDecoder::inflateBlock(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
