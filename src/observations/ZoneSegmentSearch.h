#pragma once

#include "core/UgcSearch.h"

#include <QList>
#include <QString>
#include <QStringList>

class DisplayState;
class ReferenceTables;
class Settings;

// Edit > Zone Search: for the bulletin on show, a state and one of its
// forecast zones are chosen and only that zone's segment of the bulletin is
// shown.
class ZoneSegmentSearch
{
public:
    static inline const QString Title = QStringLiteral("Vantorel Zone Search");
    static inline const QString NoZoneHeadersText =
        QStringLiteral("Zone headers not included in this product");
    static inline const QString NoSelectionText =
        QStringLiteral("Please select a State and Zone to search");
    static inline const QString NotFoundText = QStringLiteral("Zone not found.");

    struct Zone
    {
        QString name;
        int number = 0;
    };

    enum class Check
    {
        NoZoneHeaders, // the product's category carries no zone headers
        Open,          // open the dialog
        Nothing        // no product on show
    };

    enum class Result
    {
        Found,   // the display shows the segment
        NotFound // the product has no segment for the zone
    };

    ZoneSegmentSearch(const ReferenceTables& tables, const Settings& settings,
                      DisplayState& display);

    // The 51 state codes of the state list, in list order.
    static const QStringList& stateCodes();

    // Whether the displayed product can be searched by zone: its category
    // (the tag's first three characters) must be one with zone headers.
    Check checkDisplayedProduct() const;
    // The state to choose at first: characters 7 and 8 of the display tag
    // when they are a listed state, else empty.
    QString preselectedState() const;
    // The state's zones in table order, each with its number as a value.
    QList<Zone> zonesOf(const QString& state) const;
    // State + "Z" + the zone number padded on the left with "0" to three digits.
    static QString zoneCode(const QString& state, int number);

    // Searches the displayed product for the zone's segment; on success the
    // display shows the segment and keeps its tag. Throws RuntimeError when
    // the product on show is no longer filed.
    Result search(const QString& state, int zoneNumber);

private:
    const ReferenceTables& m_tables;
    UgcSearch m_ugc;
    DisplayState& m_display;
};
