#include "map/MapLegend.h"

#include "map/ActiveWarnings.h"
#include "map/WarningColours.h"

#include <QMap>

QList<MapLegend::Row> MapLegend::rows(const ActiveWarnings& warnings)
{
    QMap<QPair<int, QString>, Row> byRank;
    for (const ActiveWarning& w : warnings.events()) {
        if (!w.drawable())
            continue;
        const QString name = WarningColours::nameOf(w.phenomenon, w.significance);
        Row& row = byRank[{WarningColours::rank(w.phenomenon, w.significance), name}];
        row.name = name;
        row.colour = WarningColours::colourOf(w.phenomenon, w.significance);
        ++row.count;
    }
    return byRank.values();
}

QString MapLegend::text(const Row& row)
{
    return QStringLiteral("%1 (%2)").arg(row.name).arg(row.count);
}

QString MapLegend::title(const ActiveWarnings& warnings)
{
    const int n = warnings.drawableCount();
    return QStringLiteral("Warning Map - %1 active %2")
        .arg(n)
        .arg(n == 1 ? QStringLiteral("warning") : QStringLiteral("warnings"));
}
