#pragma once

#include <QPointF>
#include <QString>

#include <optional>

// The user's location as the settings hold it: latitude and longitude texts
// in decimal degrees, north and east positive (west negative); both empty
// means no location.
class GeoLocation
{
public:
    // The point (x = longitude, y = latitude); nullopt when either text is
    // empty or not a valid coordinate.
    static std::optional<QPointF> fromTexts(const QString& latitude, const QString& longitude);
    // Why a typed value is not usable; empty when it is (or is empty).
    static QString latitudeProblem(const QString& text);
    static QString longitudeProblem(const QString& text);
};
