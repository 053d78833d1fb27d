#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "observations/ZoneListing.h"
#include "observations/ZoneSegmentSearch.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString Key = QStringLiteral("WSWGRR   ~KGRR~MI");

// The shipped zone table and product categories; WSWGRRMI filed under its
// key with its receipt, and shown.
struct ZoneFixture
{
    ZoneFixture() : segments(tables, settings, display)
    {
        tables.loadZones(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/zonecode.csv"));
        tables.loadCountyProducts(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/county-prod.txt"));
        settings.TextPath = home.path() + "/text/";
        settings.TrackPath = home.path() + "/track/";
        QDir().mkpath(settings.TextPath);
        QFile::copy(testDataPath("ugc/WSWGRRMI.TXT"), settings.TextPath + Key);
        home.write("track/emwin/WSWGRRMI.TXT", Key.toLatin1() + "\r\n");
    }
    TestHome home;
    ReferenceTables tables;
    Settings settings;
    DisplayState display;
    ZoneSegmentSearch segments;
};

} // namespace

class TestZoneSearch : public QObject
{
    Q_OBJECT
private slots:
    void zoneListing_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("firstZone");
        QTest::newRow("Illinois from the full table")
            << "IL" << 106 << "DVN  ILZ001 - Jo Daviess\r\n";
        QTest::newRow("Michigan") << "MI" << 91 << "MQT  MIZ001 - Keweenaw\r\n";
        QTest::newRow("no such state: heading alone") << "XX" << 0 << QString();
        QTest::newRow("compared as given") << "il" << 0 << QString();
    }
    void zoneListing()
    {
        QFETCH(QString, state);
        QFETCH(int, lines);
        QFETCH(QString, firstZone);
        ZoneFixture f;
        const QString text = ZoneListing(f.tables, f.home.path() + "/").zonesOf(state);
        QVERIFY(text.startsWith("NWS    Zone    County\r\n" + QString(42, '=') + "\r\n"));
        QCOMPARE(text.count("\r\n") - 2, lines);
        QCOMPARE(text.mid(ZoneListing::Heading.size(), firstZone.size()), firstZone);
    }
    void facilityList()
    {
        ZoneFixture f;
        const ZoneListing listing(f.tables, f.home.path() + "/");
        QVERIFY(listing.facilityList().startsWith("Facility list not available: File not found"));
        f.home.write("facility-list.txt", "NWS LOCATION IDENTIFIERS\r\n");
        QCOMPARE(listing.facilityList(), QStringLiteral("NWS LOCATION IDENTIFIERS\r\n"));
        QCOMPARE(ZoneListing::zoneNumber("5"), QStringLiteral("005"));
        QCOMPARE(ZoneListing::zoneNumber("114"), QStringLiteral("114"));
        QCOMPARE(ZoneListing::zoneNumber("1140"), QStringLiteral("1140"));
    }
    void displayedProduct_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("state");
        using C = ZoneSegmentSearch::Check;
        QTest::newRow("product name ending in IL") << "WSWLOTIL" << int(C::Open) << "IL";
        QTest::newRow("product key: no state chosen") << Key << int(C::Open) << "";
        QTest::newRow("category without zone headers")
            << "AFDGRRMI" << int(C::NoZoneHeaders) << "MI";
        QTest::newRow("nothing on show") << "" << int(C::NoZoneHeaders) << "";
        QTest::newRow("state not in the list") << "WSWAFGPR" << int(C::Open) << "";
    }
    void displayedProduct()
    {
        QFETCH(QString, tag);
        QFETCH(int, check);
        QFETCH(QString, state);
        ZoneFixture f;
        f.display.setDisplay("text", tag);
        QCOMPARE(int(f.segments.checkDisplayedProduct()), check);
        QCOMPARE(f.segments.preselectedState(), state);
    }
    void segment_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("zone");
        QTest::addColumn<QString>("firstLine"); // empty: not found
        QTest::newRow("zone of the second segment, by product name")
            << "WSWGRRMI" << 50 << "MIZ037>040-043>046-050-030430-";
        QTest::newRow("zone inside a range, by key")
            << Key << 58 << "MIZ051-052-056>059-064>067-071>074-030430-";
        QTest::newRow("zone without a segment") << Key << 47 << QString();
    }
    void segment()
    {
        QFETCH(QString, tag);
        QFETCH(int, zone);
        QFETCH(QString, firstLine);
        ZoneFixture f;
        f.display.setDisplay("whole product", tag);
        const auto zones = f.segments.zonesOf("MI");
        QCOMPARE(zones.first().name, QStringLiteral("Keweenaw"));
        QCOMPARE(zones.first().number, 1);
        QCOMPARE(ZoneSegmentSearch::zoneCode("MI", zone),
                 QStringLiteral("MIZ%1").arg(zone, 3, 10, QChar('0')));
        const bool found = f.segments.search("MI", zone) == ZoneSegmentSearch::Result::Found;
        QCOMPARE(found, !firstLine.isEmpty());
        QCOMPARE(f.display.text().section("\r\n", 0, 0), found ? firstLine : "whole product");
        QVERIFY(!found || f.display.text().trimmed().endsWith("$$"));
        QCOMPARE(f.display.tag(), tag);
    }
};

QTEST_GUILESS_MAIN(TestZoneSearch)
#include "tst_zonesearch.moc"
