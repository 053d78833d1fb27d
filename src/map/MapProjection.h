#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

// Places (longitude, latitude) on the map plane: an equirectangular
// projection with longitudes shortened by the cosine of 38 degrees north
// (true east-west proportions across the middle of the country), north up.
// Longitudes east of 100 E (the Aleutians beyond the date line) are taken
// west of Greenwich so that Alaska stays in one piece.
class MapProjection
{
public:
    static QPointF toPlane(const QPointF& lonLat);
    static QPointF toLonLat(const QPointF& plane);
    static QPolygonF toPlane(const QPolygonF& ring);
    // The plane rectangle of the 48 contiguous states.
    static QRectF contiguousStates();
};
