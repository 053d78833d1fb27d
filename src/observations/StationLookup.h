#pragma once

#include <QString>

// The station identifier look-up of the METAR ID's dialog over the station
// table "stations.csv" in the program directory: one station per line,
// identifier, two parts of the location and a further field, comma-separated,
// each optionally in double quotes.
class StationLookup
{
public:
    static inline const QString FileName = QStringLiteral("stations.csv");
    static inline const QString NotFoundText = QStringLiteral("METAR: Location not found");
    static inline const QString NoTableText =
        QStringLiteral("METAR: Station table stations.csv not available");
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    explicit StationLookup(QString programDir);

    // The result line for an identifier as typed: upper-cased and compared
    // exactly with the first field (blanks count); the first match wins.
    // "KORD : Chicago O'Hare International, IL, United States".
    QString search(const QString& entered) const;

private:
    QString m_programDir;
};
