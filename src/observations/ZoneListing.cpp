#include "observations/ZoneListing.h"

#include "core/ReferenceTables.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

ZoneListing::ZoneListing(const ReferenceTables& tables, QString programDir)
    : m_tables(tables), m_programDir(std::move(programDir))
{
}

QString ZoneListing::zoneNumber(const QString& zone)
{
    return zone.rightJustified(3, QLatin1Char('0'));
}

QString ZoneListing::zonesOf(const QString& stateCode) const
{
    QString text = Heading;
    for (const ZoneRow& row : m_tables.zones()) {
        if (row.state != stateCode)
            continue;
        text += row.office + QStringLiteral("  ") + row.state + QLatin1Char('Z') +
                zoneNumber(row.zone) + QStringLiteral(" - ") + row.name + QStringLiteral("\r\n");
    }
    return text;
}

QString ZoneListing::facilityList() const
{
    try {
        return TextFile::readAll(m_programDir + FacilityFile);
    } catch (const RuntimeError& error) {
        return QStringLiteral("Facility list not available: ") + error.text();
    }
}
