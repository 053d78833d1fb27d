#include "core/PointZone.h"

#include "core/GeoLocation.h"
#include "core/GeoOutlines.h"
#include "core/Settings.h"
#include "platform/TextFile.h"
#include "product/PVtec.h"
#include "product/UgcSegments.h"
#include "product/WarningPolygon.h"

namespace {

bool eastLongitudes(const QStringList& lines)
{
    for (const QString& line : lines) {
        if (const std::optional<PVtec> v = PVtec::parse(line))
            return WarningPolygon::writesEastLongitudes(v->office());
    }
    return false;
}

// Every VTEC string of the part ends its event (a cancelled or expired area).
bool endsEvents(const QStringList& part)
{
    bool any = false;
    for (const QString& line : part) {
        if (const std::optional<PVtec> v = PVtec::parse(line)) {
            if (!v->endsEvent())
                return false;
            any = true;
        }
    }
    return any;
}

} // namespace

PointZone::PointZone(const Settings& settings, OutlinesSource outlines)
    : m_settings(settings), m_outlines(std::move(outlines))
{
}

bool PointZone::isPointZone(const QString& zone)
{
    return zone.trimmed().compare(Keyword, Qt::CaseInsensitive) == 0;
}

std::optional<QString> PointZone::areaText(const QString& productText) const
{
    const std::optional<QPointF> location =
        GeoLocation::fromTexts(m_settings.Latitude, m_settings.Longitude);
    if (!location)
        return std::nullopt;
    auto countyAt = [&]() -> QString {
        const GeoOutlines* outlines = m_outlines ? m_outlines() : nullptr;
        const GeoOutlines::Feature* county = outlines ? outlines->countyAt(*location) : nullptr;
        return county ? county->ugcCountyCode() : QString();
    };
    QString text = productText;
    text.replace(QStringLiteral("\r\r"), QStringLiteral("\r"));
    const QStringList lines = TextFile::splitLines(text);
    const std::optional<QStringList> found = decide(lines, *location, countyAt);
    if (!found)
        return std::nullopt;
    if (found->size() == lines.size())
        return productText;
    return found->join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QString PointZone::problem(const Settings& settings)
{
    if (settings.Latitude.isEmpty() && settings.Longitude.isEmpty())
        return QStringLiteral("No location is set (Configuration, Location, or a click on the "
                              "Warning Map): POINT definitions never alarm.");
    if (!GeoLocation::fromTexts(settings.Latitude, settings.Longitude))
        return QStringLiteral("The location set is not valid: POINT definitions never alarm.");
    return QString();
}

QString PointZone::hint()
{
    return QStringLiteral("POINT: alarm only when the warning's polygon contains your location "
                          "(Configuration, Location); a product without a polygon alarms when "
                          "its county codes include your county. Zone codes alone do not.");
}

std::optional<QStringList> PointZone::decide(const QStringList& lines, const QPointF& location,
                                             const std::function<QString()>& countyAt)
{
    const bool east = eastLongitudes(lines);
    const std::optional<UgcSegments> segments = UgcSegments::parse(lines);
    if (!segments) {
        const std::optional<WarningPolygon> polygon = WarningPolygon::parse(lines, east);
        if (polygon && polygon->contains(location))
            return lines;
        return std::nullopt;
    }
    QString county; // asked once, when first needed
    bool countyAsked = false;
    std::optional<QStringList> ending; // a part that ends its event: only when no other does
    for (const UgcSegment& segment : segments->segments()) {
        const QStringList part =
            lines.mid(segment.firstLine, segment.lastLine - segment.firstLine + 1);
        bool concerns = false;
        if (const std::optional<WarningPolygon> polygon = WarningPolygon::parse(part, east)) {
            concerns = polygon->contains(location);
        } else {
            if (!countyAsked) {
                county = countyAt ? countyAt() : QString();
                countyAsked = true;
            }
            concerns = !county.isEmpty() && segment.covers(county);
        }
        if (!concerns)
            continue;
        if (!endsEvents(part))
            return part;
        if (!ending)
            ending = part;
    }
    if (ending)
        return ending;
    return std::nullopt;
}
