#include "product/WarningPolygon.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// The numbers of a line made of digits and blanks only; empty otherwise.
QStringList numberLine(const QString& line)
{
    static const QRegularExpression re(QStringLiteral("^[\\d ]+$"));
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || !re.match(trimmed).hasMatch())
        return {};
    return trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool onSegment(const QPointF& p, const QPointF& a, const QPointF& b)
{
    constexpr double eps = 1e-9;
    const double cross = (b.x() - a.x()) * (p.y() - a.y()) - (b.y() - a.y()) * (p.x() - a.x());
    if (std::abs(cross) > eps)
        return false;
    return p.x() >= std::min(a.x(), b.x()) - eps && p.x() <= std::max(a.x(), b.x()) + eps &&
           p.y() >= std::min(a.y(), b.y()) - eps && p.y() <= std::max(a.y(), b.y()) + eps;
}

} // namespace

std::optional<WarningPolygon> WarningPolygon::parse(const QStringList& lines, bool eastLongitudes)
{
    int i = 0;
    while (i < lines.size() && !lines.at(i).startsWith(QLatin1String("LAT...LON")))
        ++i;
    if (i == lines.size())
        return std::nullopt;
    QStringList numbers = numberLine(lines.at(i).mid(9));
    for (int next = i + 1; next < lines.size(); ++next) {
        const QStringList more = numberLine(lines.at(next));
        if (more.isEmpty())
            break;
        numbers += more;
        if (numbers.size() > 2 * MaxPoints)
            break;
    }
    WarningPolygon polygon;
    for (int k = 0; k + 1 < numbers.size() && polygon.m_points.size() < MaxPoints; k += 2) {
        const double lat = numbers.at(k).toInt() / 100.0;
        double lon = numbers.at(k + 1).toInt() / 100.0;
        if (numbers.at(k).size() != 4 || lat > 90 || lon > 360)
            return std::nullopt;
        lon = eastLongitudes ? lon : -lon;
        if (lon < -180)
            lon += 360; // written west beyond the date line
        polygon.m_points.push_back(QPointF(lon, lat));
    }
    if (polygon.m_points.size() < 3)
        return std::nullopt;
    return polygon;
}

bool WarningPolygon::writesEastLongitudes(const QString& office)
{
    return office == QLatin1String("PGUM") || office == QLatin1String("GUM");
}

QRectF WarningPolygon::bounds() const
{
    if (m_points.isEmpty())
        return {};
    double left = m_points.first().x(), right = left;
    double top = m_points.first().y(), bottom = top;
    for (const QPointF& p : m_points) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

bool WarningPolygon::contains(const QPointF& p) const
{
    bool inside = false;
    const qsizetype n = m_points.size();
    for (qsizetype i = 0, j = n - 1; i < n; j = i++) {
        const QPointF& a = m_points.at(i);
        const QPointF& b = m_points.at(j);
        if (onSegment(p, a, b))
            return true;
        if ((a.y() > p.y()) != (b.y() > p.y()) &&
            p.x() < (b.x() - a.x()) * (p.y() - a.y()) / (b.y() - a.y()) + a.x())
            inside = !inside;
    }
    return inside;
}
