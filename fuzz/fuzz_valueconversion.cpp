// The conversions of the settings store's text values into the numbers the
// program holds, and back.

#include "FuzzInput.h"
#include "platform/RuntimeError.h"
#include "platform/ValueConversion.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double lenient = ValueConversion::lenientNumber(text);
    (void)ValueConversion::lenientByte(text);
    (void)ValueConversion::lenientInt16(text);
    (void)ValueConversion::numberText(lenient);
    (void)ValueConversion::plainNumber(lenient);
    const auto strict = [&](auto convert) {
        try {
            const auto value = convert(text);
            // A value that was taken reads back the same from its written form.
            if (convert(ValueConversion::numberText(double(value))) != value)
                __builtin_trap();
        } catch (const RuntimeError&) {
        }
    };
    strict(ValueConversion::strictInt16);
    strict(ValueConversion::strictByte);
    strict(ValueConversion::checkedInt16);
    strict(ValueConversion::checkedByte);
    try {
        const bool truth = ValueConversion::truthValue(text);
        if (ValueConversion::truthValue(ValueConversion::trueFalse(truth)) != truth)
            __builtin_trap();
    } catch (const RuntimeError&) {
    }
    return 0;
}
