#pragma once

#include <QString>

class ReferenceTables;

// The Zone Code Search dialog's texts: the forecast zones of a state from the
// zone table, and the facility list.
class ZoneListing
{
public:
    static inline const QString StandbyText = QStringLiteral("Standby... Seaching file.");
    static inline const QString Heading = QStringLiteral("NWS    Zone    County\r\n") +
                                          QString(42, QLatin1Char('=')) + QStringLiteral("\r\n");
    static inline const QString FacilityFile = QStringLiteral("facility-list.txt");

    ZoneListing(const ReferenceTables& tables, QString programDir);

    // Heading, then per zone of the state in table order: office, two blanks,
    // state, "Z", zone number, " - ", zone name. stateCode is compared as given.
    QString zonesOf(const QString& stateCode) const;
    // The whole facility list, or a message when it cannot be read.
    QString facilityList() const;
    // The zone number padded on the left with "0" to three characters.
    static QString zoneNumber(const QString& zone);

private:
    const ReferenceTables& m_tables;
    QString m_programDir;
};
