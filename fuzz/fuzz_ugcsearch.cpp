// The UGC segment search over a product's lines. The input is a code line,
// then the product text.

#include "FuzzInput.h"
#include "core/UgcSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [code, product] = FuzzInput::split(FuzzInput::bytes(data, size), "\n");
    QString segment;
    const QStringList lines = UgcSearch::productLines(QString::fromLatin1(product));
    const QString county = QString::fromLatin1(code);
    if (UgcSearch::findInLines(county, lines, &segment) && segment.isEmpty())
        __builtin_trap(); // a segment found is never empty
    (void)UgcSearch::isCode(county);
    return 0;
}
