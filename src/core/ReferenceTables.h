#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

struct County
{
    QString code; // state prefix + FIPS county number, e.g. "MIC001"
    QString name;
};
// Plain QString members: a growing table moves its rows as whole blocks.
Q_DECLARE_TYPEINFO(County, Q_RELOCATABLE_TYPE);

struct StateCounties
{
    QString abbreviation;
    QList<County> counties;
};

struct ZoneRow
{
    QString state, zone, office, name;
};
Q_DECLARE_TYPEINFO(ZoneRow, Q_RELOCATABLE_TYPE);

// The small lookup tables read once at start from the program directory:
// radar site, AWIPS headers, counties, printer font, abbreviation dictionary,
// county/zone product categories and public forecast zones.
//
// Each loader takes the full path. A missing required file throws
// FileNotFound; more records than a table holds throws SubscriptOutOfRange; an
// empty file or a short last record throws InputPastEnd. Files are decoded as
// UTF-8 when they are valid UTF-8, as Latin-1 otherwise.
class ReferenceTables
{
public:
    static constexpr int MaxAwipsHeaders = 501;
    static constexpr int MaxStates = 55;
    static constexpr int MaxCountiesPerState = 301;
    static constexpr int MaxDictionaryPairs = 1001;
    static constexpr int MaxCountyProducts = 151;
    static constexpr int MaxZoneRows = 4001;
    static constexpr int DefaultPrinterFontSize = 12;

    void loadRadarSite(const QString& path);      // optional
    void loadAwipsHeaders(const QString& path);   // optional
    void loadCounties(const QString& path);       // "fips63.txt", required
    void loadPrinterFont(const QString& path);    // optional
    void loadDictionary(const QString& path);     // required
    void loadCountyProducts(const QString& path); // required
    void loadZones(const QString& path);          // "zonecode.csv", required

    bool radarFileExists() const { return m_radarFileExists; }
    QString radarSite() const { return m_radarSite; }

    const QList<QPair<QString, QString>>& awipsHeaders() const { return m_awipsHeaders; }
    int awipsCount() const { return lastIndex(m_awipsHeaders); }
    // The AWIPS identifier listed for an 8-character product name, empty when none.
    QString awipsIdentifierFor(const QString& productName) const;

    const QList<StateCounties>& states() const { return m_states; } // [0] is state 1

    int printerFontSize() const { return m_printerFontSize; }

    const QList<QPair<QString, QString>>& dictionary() const { return m_dictionary; }
    int dictionaryCount() const { return lastIndex(m_dictionary); }

    const QStringList& countyProducts() const { return m_countyProducts; }
    int countyProductCount() const { return lastIndex(m_countyProducts); }

    const QList<ZoneRow>& zones() const { return m_zones; }
    int zoneCount() const { return lastIndex(m_zones); }

private:
    template <typename List> static int lastIndex(const List& list)
    {
        return static_cast<int>(list.size()) - 1;
    }
    void addCountyLine(const QStringList& words, const QString& prefix, int lineNumber,
                       const QString& path);

    bool m_radarFileExists = false;
    QString m_radarSite;
    QList<QPair<QString, QString>> m_awipsHeaders;
    QList<StateCounties> m_states;
    int m_printerFontSize = DefaultPrinterFontSize;
    QList<QPair<QString, QString>> m_dictionary;
    QStringList m_countyProducts;
    QList<ZoneRow> m_zones;
};
