#include "platform/ValueConversion.h"

#include "platform/RuntimeError.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

double roundHalfEven(double value)
{
    return std::nearbyint(value);
}

template <typename T> T clampTo(double value)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r))
        return 0;
    if (r < static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}

template <typename T> T checkedTo(double value, const QString& text)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r) || r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        throw RuntimeError(ErrorNumber::Overflow, text.trimmed());
    return static_cast<T>(r);
}

} // namespace

double ValueConversion::lenientNumber(const QString& text)
{
    // Collect the characters that form a number; blanks anywhere are skipped.
    QString digits;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (isBlank(c))
            continue;
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
            seenDigit = true;
        } else if ((c == QLatin1Char('+') || c == QLatin1Char('-')) &&
                   (digits.isEmpty() || digits.endsWith(QLatin1Char('E')))) {
            digits += c;
        } else if (c == QLatin1Char('.') && !seenPoint && !seenExponent) {
            digits += c;
            seenPoint = true;
        } else if ((c == QLatin1Char('e') || c == QLatin1Char('E') || c == QLatin1Char('d') ||
                    c == QLatin1Char('D')) &&
                   seenDigit && !seenExponent) {
            digits += QLatin1Char('E');
            seenExponent = true;
        } else {
            break;
        }
    }
    // Drop a dangling exponent or sign so that "5E" reads as 5.
    while (!digits.isEmpty() && !digits.back().isDigit() && digits.back() != QLatin1Char('.'))
        digits.chop(1);
    if (!seenDigit)
        return 0.0;
    bool ok = false;
    const double value = QLocale::c().toDouble(digits, &ok);
    if (!ok) // exponent too large: keep the sign's direction
        return digits.startsWith(QLatin1Char('-')) ? -std::numeric_limits<double>::max()
                                                   : std::numeric_limits<double>::max();
    return value;
}

std::uint8_t ValueConversion::lenientByte(const QString& text)
{
    return clampTo<std::uint8_t>(lenientNumber(text));
}

std::int16_t ValueConversion::lenientInt16(const QString& text)
{
    return clampTo<std::int16_t>(lenientNumber(text));
}

std::int16_t ValueConversion::checkedInt16(const QString& text)
{
    return checkedTo<std::int16_t>(lenientNumber(text), text);
}

std::uint8_t ValueConversion::checkedByte(const QString& text)
{
    return checkedTo<std::uint8_t>(lenientNumber(text), text);
}

bool ValueConversion::strictNumber(const QString& text, double* value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    *value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(*value);
}

std::int16_t ValueConversion::strictInt16(const QString& text)
{
    double value = 0;
    if (!strictNumber(text, &value))
        throw RuntimeError(ErrorNumber::TypeMismatch, text.trimmed());
    return checkedTo<std::int16_t>(value, text);
}

std::uint8_t ValueConversion::strictByte(const QString& text)
{
    double value = 0;
    if (!strictNumber(text, &value))
        throw RuntimeError(ErrorNumber::TypeMismatch, text.trimmed());
    return checkedTo<std::uint8_t>(value, text);
}

bool ValueConversion::truthValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    double value = 0;
    if (!strictNumber(t, &value))
        throw RuntimeError(ErrorNumber::TypeMismatch, t);
    return value != 0.0;
}

QString ValueConversion::plainNumber(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    return QLocale::c().toString(value, 'g', 15);
}

QString ValueConversion::numberText(double value)
{
    const QString plain = plainNumber(value);
    return value < 0 ? plain : QLatin1Char(' ') + plain;
}

QString ValueConversion::trueFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
