#include "map/MapProjection.h"

#include <cmath>

namespace {
const double kShorten = std::cos(38.0 * M_PI / 180.0);
}

QPointF MapProjection::toPlane(const QPointF& lonLat)
{
    const double lon = lonLat.x() > 100 ? lonLat.x() - 360 : lonLat.x();
    return QPointF(lon * kShorten, -lonLat.y());
}

QPointF MapProjection::toLonLat(const QPointF& plane)
{
    return QPointF(plane.x() / kShorten, -plane.y());
}

QPolygonF MapProjection::toPlane(const QPolygonF& ring)
{
    QPolygonF out;
    out.reserve(ring.size());
    for (const QPointF& p : ring)
        out.push_back(toPlane(p));
    return out;
}

QRectF MapProjection::contiguousStates()
{
    return QRectF(toPlane(QPointF(-125.0, 49.5)), toPlane(QPointF(-66.5, 24.3))).normalized();
}
