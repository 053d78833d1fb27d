#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class GeoOutlines;
class Settings;

// The alarm zone POINT: a product concerns the user's location (settings
// section "Location") when a segment's LAT...LON polygon contains it, or,
// for a segment without a polygon, when the segment's county codes include
// the county whose outline contains the location. Zone codes alone never
// do. Without a location POINT never fires.
class PointZone
{
public:
    static inline const QString Keyword = QStringLiteral("POINT");
    // The outlines, loaded on first use; none when they cannot be read.
    using OutlinesSource = std::function<const GeoOutlines*()>;

    PointZone(const Settings& settings, OutlinesSource outlines);

    // True for the zone text POINT (blanks and case do not matter).
    static bool isPointZone(const QString& zone);

    // The part of the product text that concerns the location: the first
    // segment that does, one that continues its event before one that
    // cancels it (the whole text for a product without segments);
    // nullopt when none does or no location is set.
    std::optional<QString> areaText(const QString& productText) const;

    // Why POINT definitions cannot fire with these settings; empty when they can.
    static QString problem(const Settings& settings);
    // What POINT means, for the alarm editor.
    static QString hint();

    // The decision on a product's lines for a location; countyAt gives the
    // UGC county code (SSCnnn) that contains the location, asked only for a
    // segment without a polygon. Returns the lines of the deciding segment.
    static std::optional<QStringList> decide(const QStringList& lines, const QPointF& location,
                                             const std::function<QString()>& countyAt);

private:
    const Settings& m_settings;
    OutlinesSource m_outlines;
};
