#include "product/ProductKey.h"

namespace {
const QChar kSeparator(u'~');

bool plainText(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || u == u'/' || u == u'\\')
            return false;
    }
    return true;
}

// "1", "12" ...: a version number without sign or leading zero; 0 when not one.
int versionNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 5 || text.front() == u'0')
        return 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
    }
    return text.toInt();
}
} // namespace

ProductKey ProductKey::make(const QString& identifier, const QString& station, const QString& state)
{
    ProductKey key;
    key.m_identifier = identifier;
    key.m_station = station;
    key.m_state = state;
    return key;
}

std::optional<ProductKey> ProductKey::parse(QStringView text)
{
    if (text.size() <= IdentifierWidth || text.at(IdentifierWidth) != kSeparator ||
        !plainText(text))
        return std::nullopt;
    const QStringView identifier = text.left(IdentifierWidth);
    if (identifier.front() == u' ' || identifier.contains(kSeparator))
        return std::nullopt;
    const QStringView rest = text.mid(IdentifierWidth + 1);
    const qsizetype second = rest.indexOf(kSeparator);
    if (second < 0)
        return std::nullopt;
    const QStringView state = rest.mid(second + 1);
    if (state.contains(kSeparator))
        return std::nullopt;
    ProductKey key;
    key.m_identifier = identifier.toString();
    while (key.m_identifier.endsWith(u' '))
        key.m_identifier.chop(1);
    key.m_station = rest.left(second).toString();
    // The state has 2 characters (fewer when the file name was short); a
    // stored older version adds "." and its number.
    if (state.size() <= StateWidth) {
        key.m_state = state.toString();
        return key;
    }
    qsizetype dot = StateWidth;
    if (state.at(dot) != u'.' || versionNumber(state.mid(dot + 1)) == 0)
        dot = state.lastIndexOf(u'.');
    if (dot < 0 || versionNumber(state.mid(dot + 1)) == 0)
        return std::nullopt;
    key.m_state = state.left(dot).toString();
    key.m_version = versionNumber(state.mid(dot + 1));
    return key;
}

QString ProductKey::text() const
{
    return m_identifier.leftJustified(IdentifierWidth, QLatin1Char(' ')) + kSeparator + m_station +
           kSeparator + m_state;
}

QString ProductKey::fileName(int n) const
{
    return n == 0 ? text() : text() + QLatin1Char('.') + QString::number(n);
}
