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

class TestFrmObservations : public QObject
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
};

QTEST_MAIN(TestFrmObservations)
#include "tst_frmobservations.moc"
