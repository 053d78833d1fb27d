#pragma once

#include <QString>
#include <cstdint>

// The conversions between the store's text values and the numbers the
// program holds, and the text forms numbers are written back in.
class ValueConversion
{
public:
    // Leading numeric part of the text: blanks are skipped, the parse stops at
    // the first character that cannot continue a number; nothing gives 0.
    static double lenientNumber(const QString& text);
    // Lenient number rounded (half to even) and held within 0..255.
    static std::uint8_t lenientByte(const QString& text);
    // Lenient number rounded (half to even) and held within the 16-bit range.
    static std::int16_t lenientInt16(const QString& text);
    // Lenient number rounded to 16 bits; throws Overflow when it does not fit.
    static std::int16_t checkedInt16(const QString& text);
    // Lenient number rounded to 0..255; throws Overflow when it does not fit.
    static std::uint8_t checkedByte(const QString& text);
    // The whole text (surrounding blanks allowed) as a 16-bit integer.
    // Throws TypeMismatch for a text that is not a number, Overflow when too large.
    static std::int16_t strictInt16(const QString& text);
    // The whole text as 0..255; TypeMismatch or Overflow as above.
    static std::uint8_t strictByte(const QString& text);
    // "True"/"False" in any case, or a number (non-zero = true); else TypeMismatch.
    static bool truthValue(const QString& text);

    // Decimal form with one leading blank before a value that is not negative.
    static QString numberText(double value);
    // Decimal form without the leading blank.
    static QString plainNumber(double value);
    static QString trueFalse(bool value);

private:
    static bool strictNumber(const QString& text, double* value);
};
