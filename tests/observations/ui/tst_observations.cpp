#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "observations/StationLookup.h"
#include "observations/ZoneListing.h"
#include "observations/ZoneSegmentSearch.h"
#include "observations/ui/frmMetar.h"
#include "observations/ui/frmUGC.h"
#include "observations/ui/frmZoneCode.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString DataDir = QStringLiteral(VANTOREL_SOURCE_ROOT "/data/");
} // namespace

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

class TestObservations : public QObject
{
    Q_OBJECT
private slots:
    void stationSearch_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("lower case finds the upper-case id")
            << "kord"
            << "KORD : Chicago O'Hare International, IL, United States";
        QTest::newRow("quoted field with a comma") << "ANYN"
                                                   << "ANYN : Nauru International Airport, Yaren "
                                                      "District, 14, NR";
        QTest::newRow("trailing blank finds nothing") << "KORD " << StationLookup::NotFoundText;
        QTest::newRow("part of an id finds nothing") << "KOR" << StationLookup::NotFoundText;
    }
    void stationSearch()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        const StationLookup lookup(DataDir);
        frmMetar window(lookup);
        window.show();
        auto* entry = window.findChild<QLineEdit*>("txtMETAR");
        QTest::keyClicks(entry, typed);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(window.findChild<QLineEdit*>("Text1")->text(), result);
        QVERIFY(entry->text().isEmpty());
        QVERIFY(window.isVisible()); // Enter went no further than the search
    }
    void zoneCodeTyping()
    {
        TestHome home;
        ReferenceTables tables;
        tables.loadZones(DataDir + "zonecode.csv");
        home.write("facility-list.txt", "NWS LOCATION IDENTIFIERS\r\n");
        const ZoneListing listing(tables, home.path() + "/");
        frmZoneCode window(listing);
        auto* entry = window.findChild<QLineEdit*>("Text1");
        auto* result = window.findChild<QPlainTextEdit*>("txtState");
        QTest::keyClicks(entry, "i");
        QVERIFY(result->toPlainText().isEmpty());
        QTest::keyClicks(entry, "l");
        QVERIFY(result->toPlainText().contains("DVN  ILZ001 - Jo Daviess\n"));
        QVERIFY(entry->text().isEmpty());
        QTest::keyClicks(entry, "M");
        QVERIFY(result->toPlainText().contains("ILZ001")); // one letter: nothing new yet
        QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
        QCOMPARE(result->toPlainText(), QStringLiteral("NWS LOCATION IDENTIFIERS\n"));
        window.resize(100, 300);
        QVERIFY(window.width() >= frmZoneCode::MinimumWidth);
    }
    void ugcDialog()
    {
        TestHome home;
        ReferenceTables tables;
        tables.loadZones(DataDir + "zonecode.csv");
        tables.loadCountyProducts(DataDir + "county-prod.txt");
        Settings settings;
        settings.TextPath = home.path() + "/text/";
        settings.TrackPath = home.path() + "/track/";
        QDir().mkpath(settings.TextPath);
        QFile::copy(testDataPath("ugc/WSWGRRMI.TXT"), settings.TextPath + "WSWGRR   ~KGRR~MI");
        home.write("track/emwin/WSWGRRMI.TXT", "WSWGRR   ~KGRR~MI\r\n");
        DisplayState display;
        display.setDisplay("whole product", "WSWGRRMI");
        ZoneSegmentSearch search(tables, settings, display);
        ScriptedPrompter prompter;
        frmUGC window(search, prompter);
        auto* states = window.findChild<QComboBox*>("lstState");
        auto* zones = window.findChild<QComboBox*>("lstCounty");
        auto* button = window.findChild<QPushButton*>("cmdSearch");
        QCOMPARE(states->count(), 51);
        QCOMPARE(states->currentText(), QStringLiteral("MI"));
        QCOMPARE(zones->count(), 91);

        button->click(); // no zone chosen yet
        QCOMPARE(prompter.messages.value(0).text, ZoneSegmentSearch::NoSelectionText);
        zones->setCurrentIndex(zones->findText("Houghton")); // MIZ003: not in this warning
        button->click();
        QCOMPARE(prompter.messages.value(1).text, ZoneSegmentSearch::NotFoundText);
        QCOMPARE(window.result(), int(QDialog::Rejected));
        zones->setCurrentIndex(zones->findText("Muskegon")); // MIZ050
        button->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(display.text().startsWith("MIZ037>040-043>046-050-030430-"));
        QCOMPARE(display.tag(), QStringLiteral("WSWGRRMI"));
    }

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

QTEST_MAIN(TestObservations)
#include "tst_observations.moc"
