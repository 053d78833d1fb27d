#include "map/WarningUpdates.h"

#include "product/UgcSegments.h"
#include "product/WarningPolygon.h"

#include <QSet>

namespace {

QStringList productLines(const QString& text)
{
    QString cleaned = text;
    cleaned.remove(QLatin1Char('\r'));
    return cleaned.split(QLatin1Char('\n'));
}

void readSegment(const QStringList& lines, const QStringList& areas, QList<WarningUpdate>& found)
{
    QList<PVtec> strings;
    for (const QString& line : lines) {
        if (const std::optional<PVtec> v = PVtec::parse(line))
            strings.push_back(*v);
    }
    QList<QPointF> polygon;
    for (const PVtec& v : strings) {
        if (v.productClass() != QLatin1Char('O') ||
            (v.significance() != QLatin1Char('W') && v.significance() != QLatin1Char('A')))
            continue;
        if (polygon.isEmpty()) {
            const bool east = WarningPolygon::writesEastLongitudes(v.office());
            if (const std::optional<WarningPolygon> p = WarningPolygon::parse(lines, east))
                polygon = p->points();
        }
        found.push_back(WarningUpdate{v, areas, polygon});
    }
}

} // namespace

QList<WarningUpdate> WarningUpdates::read(const QString& text)
{
    QList<WarningUpdate> found;
    if (!text.contains(QLatin1String("/O.")))
        return found;
    const QStringList lines = productLines(text);
    const std::optional<UgcSegments> segments = UgcSegments::parse(lines);
    if (!segments)
        return found;
    for (const UgcSegment& s : segments->segments())
        readSegment(lines.mid(s.firstLine, s.lastLine - s.firstLine + 1), s.codes, found);
    return found;
}

bool WarningUpdates::mayCarry(const QString& productName)
{
    // Short-fused warnings and their statements, watches, flood, winter,
    // wind, marine and tropical hazards.
    static const QSet<QString> categories = {
        QStringLiteral("TOR"), QStringLiteral("SVR"), QStringLiteral("SVS"), QStringLiteral("FFW"),
        QStringLiteral("FFS"), QStringLiteral("FLW"), QStringLiteral("FLS"), QStringLiteral("FFA"),
        QStringLiteral("SMW"), QStringLiteral("MWS"), QStringLiteral("SQW"), QStringLiteral("EWW"),
        QStringLiteral("WCN"), QStringLiteral("WOU"), QStringLiteral("WSW"), QStringLiteral("NPW"),
        QStringLiteral("CFW"), QStringLiteral("HLS"), QStringLiteral("TCV"), QStringLiteral("RFW"),
        QStringLiteral("DSW"), QStringLiteral("MWW"), QStringLiteral("WCA")};
    return categories.contains(productName.left(3).toUpper());
}
