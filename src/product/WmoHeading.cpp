#include "product/WmoHeading.h"

#include <QRegularExpression>

namespace {
const QRegularExpression& pattern()
{
    static const QRegularExpression re(
        QStringLiteral("^([A-Z]{4}[0-9]{2}) ([A-Z0-9]{4}) "
                       "((?:0[1-9]|[12][0-9]|3[01])(?:[01][0-9]|2[0-3])[0-5][0-9])"
                       "(?: ([A-Z]{3}))?$"));
    return re;
}
} // namespace

std::optional<WmoHeading> WmoHeading::parse(QStringView line)
{
    const auto m = pattern().match(line);
    if (!m.hasMatch())
        return std::nullopt;
    WmoHeading h;
    h.m_ttaaii = m.captured(1);
    h.m_station = m.captured(2);
    h.m_time = m.captured(3);
    h.m_indicator = m.captured(4);
    return h;
}

QString WmoHeading::text() const
{
    QString line = m_ttaaii + QLatin1Char(' ') + m_station + QLatin1Char(' ') + m_time;
    if (!m_indicator.isEmpty())
        line += QLatin1Char(' ') + m_indicator;
    return line;
}
