#pragma once

#include <QList>
#include <QPointF>
#include <QStringList>
#include <QTime>

#include <optional>

// The storm's position and motion from a warning's "TIME...MOT...LOC" line:
// "TIME...MOT...LOC 1650Z 236DEG 36KT 3108 8952" - the time (UTC), the
// direction the storm comes from in degrees, its speed in knots and one or
// more positions (x = longitude, east positive; y = latitude).
class StormMotion
{
public:
    static constexpr int MaxLocations = 20;

    // Reads the first TIME...MOT...LOC line (and its continuation lines).
    static std::optional<StormMotion> parse(const QStringList& lines, bool eastLongitudes = false);

    QTime time() const { return m_time; }
    int directionDegrees() const { return m_direction; }
    int speedKnots() const { return m_speed; }
    const QList<QPointF>& locations() const { return m_locations; }

private:
    QTime m_time;
    int m_direction = 0;
    int m_speed = 0;
    QList<QPointF> m_locations;
};
