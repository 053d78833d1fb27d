#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <optional>

// The area a warning covers, from its "LAT...LON" lines: pairs of latitude and
// longitude in hundredths of a degree ("3103 8984"), longitudes west of
// Greenwich written positive. Points are x = longitude (east positive, so
// negative in the United States), y = latitude.
class WarningPolygon
{
public:
    static constexpr int MaxPoints = 100;

    // Reads the first LAT...LON block of a product's lines (line ends
    // removed). Offices west of the date line (Guam) write east longitudes:
    // pass eastLongitudes for them. nullopt without a block of 3 or more
    // valid points.
    static std::optional<WarningPolygon> parse(const QStringList& lines,
                                               bool eastLongitudes = false);
    // The office writes east longitudes (Guam's office).
    static bool writesEastLongitudes(const QString& office);

    const QList<QPointF>& points() const { return m_points; }
    QRectF bounds() const;

    // True when (longitude, latitude) lies inside the polygon or on its edge.
    bool contains(const QPointF& lonLat) const;

private:
    QList<QPointF> m_points;
};
