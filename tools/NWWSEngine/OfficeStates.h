#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The state of each forecast office, from the location identifier table
// (facility-list.txt): rows "ID  STATION  OFFICE  STATE" under region
// headings. Offices listed under other headings (national centres, river
// forecast centres) are known by station but count as national.
class OfficeStates
{
public:
    static constexpr qint64 MaxTableBytes = 1024 * 1024;
    static constexpr int MaxRows = 5000;

    static OfficeStates parse(const QByteArray& table);
    // The table file; empty (everything national) when it cannot be read.
    static OfficeStates load(const QString& path, QString* error);

    // The 2-letter state of a forecast office by its 3-letter id or its
    // 4-letter station; empty when it is no forecast office.
    QString stateOfOffice(const QString& id) const { return m_offices.value(id.toUpper()); }
    QString stateOfStation(const QString& station) const
    {
        return m_stations.value(station.toUpper());
    }
    bool isEmpty() const { return m_offices.isEmpty(); }
    int size() const { return static_cast<int>(m_offices.size()); }

private:
    QHash<QString, QString> m_offices;
    QHash<QString, QString> m_stations;
};
