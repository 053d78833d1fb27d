#include "product/StormMotion.h"

#include <QRegularExpression>

std::optional<StormMotion> StormMotion::parse(const QStringList& lines, bool eastLongitudes)
{
    static const QRegularExpression head(QStringLiteral(
        "^TIME\\.\\.\\.MOT\\.\\.\\.LOC (\\d{4})Z (\\d{1,3})DEG (\\d{1,3})KT((?: \\d{4,5})*)\\s*$"));
    static const QRegularExpression more(QStringLiteral("^\\s+((?:\\d{4,5} ?)+)\\s*$"));
    for (int i = 0; i < lines.size(); ++i) {
        const auto m = head.match(lines.at(i));
        if (!m.hasMatch())
            continue;
        StormMotion motion;
        motion.m_time = QTime::fromString(m.captured(1), QStringLiteral("HHmm"));
        motion.m_direction = m.captured(2).toInt();
        motion.m_speed = m.captured(3).toInt();
        if (!motion.m_time.isValid() || motion.m_direction > 360)
            return std::nullopt;
        QStringList numbers = m.captured(4).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (int next = i + 1; next < lines.size() && numbers.size() < 2 * MaxLocations; ++next) {
            const auto c = more.match(lines.at(next));
            if (!c.hasMatch())
                break;
            numbers += c.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
        for (int k = 0; k + 1 < numbers.size() && motion.m_locations.size() < MaxLocations;
             k += 2) {
            const double lat = numbers.at(k).toInt() / 100.0;
            double lon = numbers.at(k + 1).toInt() / 100.0;
            if (lat > 90 || lon > 360)
                return std::nullopt;
            lon = eastLongitudes ? lon : -lon;
            if (lon < -180)
                lon += 360;
            motion.m_locations.push_back(QPointF(lon, lat));
        }
        return motion;
    }
    return std::nullopt;
}
