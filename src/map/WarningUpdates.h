#pragma once

#include "product/PVtec.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QStringList>

// What one segment of a product says about one warning or watch: its VTEC
// string, the UGC codes of the segment and the segment's polygon.
struct WarningUpdate
{
    PVtec vtec;
    QStringList areas;      // "IAC127", "IAZ048", ...
    QList<QPointF> polygon; // (longitude, latitude); empty without one
};

// Reads the warning and watch updates of a product text.
class WarningUpdates
{
public:
    // Operational VTEC strings of significance W (warning) or A (watch),
    // in product order, each with its segment's codes and polygon.
    static QList<WarningUpdate> read(const QString& text);
    // True when products of this name (text store key or file name) may hold
    // warnings or watches: the first three characters name such a category.
    static bool mayCarry(const QString& productName);
};
