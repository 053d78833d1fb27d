#include "observations/ZoneSegmentSearch.h"

#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "platform/ValueConversion.h"

#include <algorithm>

namespace {

// The zone number as a value; text that is no number gives 0.
int zoneValue(const QString& zone)
{
    const double value = ValueConversion::lenientNumber(zone);
    return static_cast<int>(std::clamp(value, 0.0, 999999.0));
}

} // namespace

ZoneSegmentSearch::ZoneSegmentSearch(const ReferenceTables& tables, const Settings& settings,
                                     DisplayState& display)
    : m_tables(tables), m_ugc(settings), m_display(display)
{
}

const QStringList& ZoneSegmentSearch::stateCodes()
{
    static const QStringList codes =
        QStringLiteral("AL AK AZ AR CA CO CT DE DC FL GA HI ID IL IN IA KS "
                       "KY LA ME MD MA MI MN MS MO MT NE NV NH NJ NM NY NC "
                       "ND OH OK OR PA RI SC SD TN TX UT VT VA WA WV WI WY")
            .split(QLatin1Char(' '));
    return codes;
}

ZoneSegmentSearch::Check ZoneSegmentSearch::checkDisplayedProduct() const
{
    const QString tag = m_display.tag();
    if (!m_tables.countyProducts().contains(tag.left(3)))
        return Check::NoZoneHeaders;
    return tag.isEmpty() ? Check::Nothing : Check::Open;
}

QString ZoneSegmentSearch::preselectedState() const
{
    const QString state = m_display.tag().mid(6, 2);
    return stateCodes().contains(state) ? state : QString();
}

QList<ZoneSegmentSearch::Zone> ZoneSegmentSearch::zonesOf(const QString& state) const
{
    QList<Zone> zones;
    for (const ZoneRow& row : m_tables.zones()) {
        if (row.state == state)
            zones.append({row.name, zoneValue(row.zone)});
    }
    return zones;
}

QString ZoneSegmentSearch::zoneCode(const QString& state, int number)
{
    return state + QLatin1Char('Z') +
           QString::number(number).trimmed().rightJustified(3, QLatin1Char('0'));
}

ZoneSegmentSearch::Result ZoneSegmentSearch::search(const QString& state, int zoneNumber)
{
    const QString tag = m_display.tag();
    if (m_ugc.FindUGC(zoneCode(state, zoneNumber), tag) == 0)
        return Result::NotFound;
    m_display.setDisplay(m_ugc.SegmentText(), tag);
    return Result::Found;
}
