// The tables as shipped and as users edit them: counties, zones, dictionary,
// radar sites, loader failures, the menu definitions, and the shipped county
// outlines (which county holds a known place, damaged outline files).
#include "TestSupport.h"
#include "core/GeoLocation.h"
#include "core/GeoOutlines.h"
#include "core/MenuDefinitions.h"
#include "core/ReferenceTables.h"
#include "platform/RuntimeError.h"

#include <QRegularExpression>
#include <QTest>
#include <QtTest>

using Loader = void (ReferenceTables::*)(const QString&);
Q_DECLARE_METATYPE(Loader)
Q_DECLARE_METATYPE(ErrorNumber)

namespace {

QByteArray repeated(const QByteArray& record, int times)
{
    QByteArray bytes;
    for (int i = 0; i < times; ++i)
        bytes += record;
    return bytes;
}

QByteArray numberedStates(int count)
{
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += QByteArray::number(i % 90 + 10) + " S" + QByteArray(1, char('A' + i % 26)) + "\n";
    return bytes;
}

} // namespace

namespace {

QByteArray itemLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Item " + QByteArray::number(i) + ",AFD,3\n";
    return bytes;
}

} // namespace

class TestReferenceTables : public QObject
{
    Q_OBJECT
private slots:
    void countiesFromFixture()
    {
        ReferenceTables t;
        t.loadCounties(testDataPath(QStringLiteral("tables/fips63.txt")));
        QCOMPARE(t.states().size(), 2);
        const StateCounties& mi = t.states().at(0);
        QCOMPARE(mi.abbreviation, QStringLiteral("MI"));
        QCOMPARE(mi.counties.size(), 4); // the county before the first state line is ignored
        QCOMPARE(mi.counties.at(0).code, QStringLiteral("MIC001"));
        QCOMPARE(mi.counties.at(0).name, QStringLiteral("Alcona County"));
        QCOMPARE(mi.counties.at(1).code, QStringLiteral("MIC003"));
        QCOMPARE(mi.counties.at(1).name, QStringLiteral("Alger County"));
        QCOMPARE(mi.counties.at(2).name, QStringLiteral("Allegan   County"));
        QCOMPARE(mi.counties.at(3).name, QStringLiteral("Alpena County"));
        QCOMPARE(t.states().at(1).counties.at(0).code, QStringLiteral("MNC001"));
    }
    void countyNamesDecoded()
    {
        TestHome home;
        ReferenceTables t;
        t.loadCounties(home.write(QStringLiteral("utf8.txt"), "35 NM\n013 Do\xc3\xb1"
                                                              "a Ana County\n"));
        QCOMPARE(t.states().at(0).counties.at(0).name, QStringLiteral(u"Doña Ana County"));
        t.loadCounties(home.write(QStringLiteral("latin1.txt"), "35 NM\n013 Do\xf1"
                                                                "a Ana County\n"));
        QCOMPARE(t.states().at(0).counties.at(0).name, QStringLiteral(u"Doña Ana County"));
    }
    void dictionaryStopsAtEndMarker()
    {
        TestHome home;
        ReferenceTables t;
        t.loadDictionary(home.write(QStringLiteral("d.txt"),
                                    "THUNDERSTORM,TSTM\r\n\" NORTH \",\" N \"\r\n"
                                    "SEVERE,SVR\r\n-END-,-END-\r\nNOT,READ\r\n"));
        QCOMPARE(t.dictionaryCount(), 3);
        QCOMPARE(t.dictionary().at(1), qMakePair(QStringLiteral(" NORTH "), QStringLiteral(" N ")));
        QCOMPARE(t.dictionary().at(3).first, QStringLiteral("-END-"));
    }
    void countyProductsAcrossLinesAndCommas()
    {
        TestHome home;
        ReferenceTables t;
        t.loadCountyProducts(home.write(QStringLiteral("c.txt"), "TOR,SVR\nFFW\n-END-\nZZZ\n"));
        QCOMPARE(t.countyProducts(), QStringList({"TOR", "SVR", "FFW", "-END-"}));
        QCOMPARE(t.countyProductCount(), 3);
    }
    void zonesAndAwipsHeaders()
    {
        TestHome home;
        ReferenceTables t;
        QCOMPARE(t.zoneCount(), -1);
        t.loadZones(home.write(QStringLiteral("empty.csv"), ""));
        QCOMPARE(t.zoneCount(), -1);
        t.loadZones(home.write(QStringLiteral("z.csv"), "\"MI\",\"050\",\"GRR\",\"Kent, County\"\n"
                                                        "\"MI\",\"051\",\"GRR\",\"Ottawa\"\n"));
        QCOMPARE(t.zoneCount(), 1);
        QCOMPARE(t.zones().at(0).name, QStringLiteral("Kent, County"));
        QCOMPARE(t.zones().at(1).zone, QStringLiteral("051"));

        t.loadAwipsHeaders(home.file(QStringLiteral("missing.csv")));
        QCOMPARE(t.awipsCount(), -1);
        t.loadAwipsHeaders(home.write(QStringLiteral("a.csv"), "AFDGRRMI,AFDGRR\nZFPGRRMI,ZFPGRR"));
        QCOMPARE(t.awipsCount(), 1);
        QCOMPARE(t.awipsIdentifierFor(QStringLiteral("ZFPGRRMI")), QStringLiteral("ZFPGRR"));
        QVERIFY(t.awipsIdentifierFor(QStringLiteral("TORGRRMI")).isEmpty());
    }
    // A comma at the end of a line is one more, empty item: the records after it
    // keep their fields in place.
    void trailingCommaKeepsRecordsInStep()
    {
        TestHome home;
        ReferenceTables t;
        t.loadZones(home.write(QStringLiteral("z.csv"), "MI,050,GRR,\r\nMI,051,GRR,Kent\r\n"
                                                        "MI,052,GRR,Ottawa\r\n"));
        QCOMPARE(t.zoneCount(), 2);
        QCOMPARE(t.zones().at(0).name, QString());
        QCOMPARE(t.zones().at(1).zone, QStringLiteral("051"));
        QCOMPARE(t.zones().at(2).name, QStringLiteral("Ottawa"));
        t.loadDictionary(home.write(QStringLiteral("d.txt"), "A,B\r\n-END-,\r\nNOT,READ\r\n"));
        QCOMPARE(t.dictionaryCount(), 1);
        QCOMPARE(t.dictionary().at(1), qMakePair(QStringLiteral("-END-"), QString()));
    }
    void radarSiteAndPrinterFont()
    {
        TestHome home;
        ReferenceTables t;
        t.loadRadarSite(home.file(QStringLiteral("radarsite.txt")));
        QVERIFY(!t.radarFileExists());
        t.loadRadarSite(home.write(QStringLiteral("radarsite.txt"), ""));
        QVERIFY(t.radarFileExists());
        QVERIFY(t.radarSite().isEmpty());
        t.loadRadarSite(home.write(QStringLiteral("radarsite.txt"), "GRR\r\n"));
        QCOMPARE(t.radarSite(), QStringLiteral("GRR")); // the line end is not part of the code
        t.loadRadarSite(home.write(QStringLiteral("radarsite.txt"), "RADGRRMI-extra"));
        QCOMPARE(t.radarSite(), QStringLiteral("RADGRRMI"));

        t.loadPrinterFont(home.file(QStringLiteral("printer-font.txt")));
        QCOMPARE(t.printerFontSize(), 12);
        t.loadPrinterFont(home.write(QStringLiteral("printer-font.txt"), "10 point\r\n14\r\n"));
        QCOMPARE(t.printerFontSize(), 10);
    }
    void loaderFailures_data()
    {
        QTest::addColumn<Loader>("loader");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ErrorNumber>("error");
        const auto counties = &ReferenceTables::loadCounties;
        const auto dictionary = &ReferenceTables::loadDictionary;
        const auto products = &ReferenceTables::loadCountyProducts;
        const auto zones = &ReferenceTables::loadZones;
        const auto awips = &ReferenceTables::loadAwipsHeaders;
        const auto font = &ReferenceTables::loadPrinterFont;
        const auto range = ErrorNumber::SubscriptOutOfRange;
        const auto past = ErrorNumber::InputPastEnd;

        QTest::newRow("county one word") << counties << QByteArray("26 MI\n001\n") << past;
        QTest::newRow("56 states") << counties << numberedStates(56) << range;
        QTest::newRow("302 counties")
            << counties << "26 MI\n" + repeated("001 X County\n", 302) << range;
        QTest::newRow("empty dictionary") << dictionary << QByteArray() << past;
        QTest::newRow("short dictionary record") << dictionary << QByteArray("A,B\nC\n") << past;
        QTest::newRow("1002 pairs") << dictionary << repeated("A,B\n", 1002) << range;
        QTest::newRow("empty county products") << products << QByteArray("\r\n") << past;
        QTest::newRow("152 categories") << products << repeated("TOR\n", 152) << range;
        QTest::newRow("short zone row") << zones << QByteArray("MI,050,GRR\n") << past;
        QTest::newRow("4002 zones") << zones << repeated("MI,050,GRR,Kent\n", 4002) << range;
        QTest::newRow("empty awips headers") << awips << QByteArray() << past;
        QTest::newRow("502 awips pairs") << awips << repeated("AFDGRRMI,AFDGRR\n", 502) << range;
        QTest::newRow("font too large") << font << QByteArray("300") << ErrorNumber::Overflow;
        // The last of the capacity: exactly full tables load.
        QTest::newRow("55 states fit") << counties << numberedStates(55) << ErrorNumber(0);
        QTest::newRow("4001 zones fit")
            << zones << repeated("MI,1,GRR,K\n", 4001) << ErrorNumber(0);
    }
    void loaderFailures()
    {
        QFETCH(Loader, loader);
        QFETCH(QByteArray, content);
        QFETCH(ErrorNumber, error);
        TestHome home;
        ReferenceTables t;
        const QString path = home.write(QStringLiteral("table.txt"), content);
        try {
            (t.*loader)(path);
            QCOMPARE(int(error), 0);
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), error);
        }
    }
    void shippedTablesLoad()
    {
        const QString dir = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/");
        ReferenceTables t;
        t.loadCounties(dir + QStringLiteral("fips63.txt"));
        t.loadDictionary(dir + QStringLiteral("dictionary.vantorel.txt"));
        t.loadCountyProducts(dir + QStringLiteral("county-prod.txt"));
        t.loadZones(dir + QStringLiteral("zonecode.csv"));
        QCOMPARE(t.states().size(), 52);
        for (const StateCounties& state : t.states()) {
            QVERIFY2(!state.counties.isEmpty(), qPrintable(state.abbreviation));
            for (const County& county : state.counties)
                QVERIFY2(!county.name.isEmpty() && county.code.size() == 6,
                         qPrintable(county.code));
        }
        QCOMPARE(t.zoneCount(), 3923);
        QCOMPARE(t.dictionary().last().first, QStringLiteral("-END-"));
        QVERIFY(t.dictionaryCount() >= 40);
        QCOMPARE(t.countyProducts().last(), QStringLiteral("-END-"));
        for (int i = 0; i < t.countyProductCount(); ++i)
            QCOMPARE(t.countyProducts().at(i).size(), 3);
        QVERIFY(t.countyProducts().contains(QStringLiteral("TOR")));
    }

    void initTestCase()
    {
        QString error;
        m_outlines = GeoOutlines::load(
            QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + GeoOutlines::FileName, &error);
        QVERIFY2(m_outlines, qPrintable(error));
        QVERIFY(m_outlines->counties().size() > 3200);
        QVERIFY(m_outlines->states().size() >= 52);
    }

    void countySeats_data()
    {
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("Des Moines IA") << 41.586 << -93.625 << "IAC153"
                                       << "Polk";
        QTest::newRow("Jackson MS") << 32.299 << -90.185 << "MSC049"
                                    << "Hinds";
        QTest::newRow("Oklahoma City OK") << 35.468 << -97.516 << "OKC109"
                                          << "Oklahoma";
        QTest::newRow("Denver CO") << 39.739 << -104.990 << "COC031"
                                   << "Denver";
        QTest::newRow("Sacramento CA") << 38.582 << -121.494 << "CAC067"
                                       << "Sacramento";
        QTest::newRow("Albany NY") << 42.653 << -73.757 << "NYC001"
                                   << "Albany";
        QTest::newRow("Anchorage AK") << 61.218 << -149.900 << "AKC020"
                                      << "Anchorage";
        QTest::newRow("Gulf of Mexico") << 26.0 << -90.0 << ""
                                        << "";
    }
    void countySeats()
    {
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(QString, code);
        QFETCH(QString, name);
        const GeoOutlines::Feature* county = m_outlines->countyAt(QPointF(lon, lat));
        QCOMPARE(county ? county->ugcCountyCode() : QString(), code);
        QCOMPARE(county ? county->name : QString(), name);
    }

    void damagedFile()
    {
        // A truncated ring, a bad number and a county without rings are skipped;
        // the good feature stays.
        const QByteArray bytes = "C 19153 IA Polk\n"
                                 "R -94000 41000 1000 0 0 1000\n"
                                 "C 19999 IA Broken\n"
                                 "R -94000 41000 1000\n"
                                 "R -94000 41000 x 0 0 1000\n"
                                 "C 1 IA Short\n"
                                 "S 19 IA Iowa\n";
        const GeoOutlines outlines = GeoOutlines::parse(bytes);
        QCOMPARE(outlines.counties().size(), 1);
        QVERIFY(outlines.states().isEmpty());
        QVERIFY(outlines.countyAt(QPointF(-93.2, 41.5)));
        QVERIFY(!outlines.countyAt(QPointF(-93.2, 42.5)));
        QString error;
        QVERIFY(!GeoOutlines::load(QStringLiteral("/nonexistent/us-outlines.txt"), &error));
        QVERIFY(error.contains(QLatin1String("/nonexistent/us-outlines.txt")));
    }

    void location_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("latProblem");
        QTest::addColumn<bool>("lonProblem");
        QTest::newRow("west negative") << "41.59"
                                       << "-93.62" << true << false << false;
        QTest::newRow("blanks") << " 41.59 "
                                << " -93.62" << true << false << false;
        QTest::newRow("none") << ""
                              << "" << false << false << false;
        QTest::newRow("one missing") << "41.59"
                                     << "" << false << false << false;
        QTest::newRow("latitude beyond the pole") << "91"
                                                  << "-93" << false << true << false;
        QTest::newRow("longitude beyond 180") << "41"
                                              << "-181" << false << false << true;
        QTest::newRow("comma decimal") << "41,59"
                                       << "-93.62" << false << true << false;
        QTest::newRow("not a number") << "north"
                                      << "nan" << false << true << true;
    }
    void location()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(bool, valid);
        QCOMPARE(GeoLocation::fromTexts(lat, lon).has_value(), valid);
        QTEST(!GeoLocation::latitudeProblem(lat).isEmpty(), "latProblem");
        QTEST(!GeoLocation::longitudeProblem(lon).isEmpty(), "lonProblem");
    }

private:
    std::optional<GeoOutlines> m_outlines;

private slots:
    void buttons()
    {
        TestHome home;
        QByteArray text = "# comment\r\n\r\nLocal WX AFDGRR  \r\nTornado  TOR\r\nShort\r\n";
        for (int i = 0; i < 7; ++i)
            text += "Button " + QByteArray::number(i) + " X" + QByteArray::number(i) + "\r\n";
        MenuDefinitions m;
        m.loadButtons(home.write(QStringLiteral("Vantorel-Button.txt"), text));
        QCOMPARE(m.buttons().size(), MenuDefinitions::ButtonCount); // the tenth line is not read
        QCOMPARE(m.buttons().at(0).caption, QStringLiteral("Local WX "));
        QCOMPARE(m.buttons().at(0).tag, QStringLiteral("AFDGRR"));
        QCOMPARE(m.buttons().at(1).tag, QStringLiteral("TOR"));
        QCOMPARE(m.buttons().at(2).caption, QStringLiteral("Short"));
        QVERIFY(m.buttons().at(2).tag.isEmpty());
        QCOMPARE(m.buttons().last().tag, QStringLiteral("X5"));

        m.setButtonCaption(0, QStringLiteral("Radar"));
        m.setButtonCaption(20, QStringLiteral("Nowhere"));
        QCOMPARE(m.buttons().at(0).caption, QStringLiteral("Radar"));
        QCOMPARE(m.buttons().at(0).tag, QStringLiteral("AFDGRR"));
    }
    void mainMenuFixture()
    {
        MenuDefinitions m;
        m.loadMainMenu(testDataPath(QStringLiteral("tables/mainmenu.txt")));
        // "[Warnings] " with a trailing blank is no header: its item overwrote
        // the first entry of the section before it.
        QCOMPARE(m.section(0).size(), 2);
        QCOMPARE(m.section(0).at(0).caption, QStringLiteral("Overwritten"));
        QCOMPARE(m.section(0).at(1).caption, QStringLiteral("Zone Forecast"));
        QCOMPARE(m.section(0).at(1).tag, QStringLiteral("ZFP"));
        // An unknown header keeps the section and restarts it at index 0.
        QCOMPARE(m.section(1).size(), 2);
        QCOMPARE(m.section(1).at(0).tag, QStringLiteral("SVR"));
        QCOMPARE(m.section(1).at(1).tag, QStringLiteral("SELWCNWOU"));
        QVERIFY(m.section(6).isEmpty()); // after the end marker
        QVERIFY(m.section(8).isEmpty());

        QCOMPARE(m.menuItemCount(), 6);
        const MenuItem& afd = m.menuItems().at(1);
        QCOMPARE(afd.categories, QStringLiteral("AFD"));
        QCOMPARE(afd.caption, QStringLiteral("Area Forecast Discussion"));
        QCOMPARE(afd.retention, qint16(3));
        QCOMPARE(m.menuItems().at(0).caption, QStringLiteral("Early Item"));
        QCOMPARE(m.menuItems().at(5).retention, qint16(-1));
        QCOMPARE(m.menuItems().at(6).retention, qint16(4));

        QCOMPARE(m.officeCount(), 1);
        QCOMPARE(m.offices().at(0).office, QStringLiteral("GRR"));
        QCOMPARE(m.offices().at(0).retention, qint16(7));
        QCOMPARE(m.offices().at(1).retention, qint16(0));
        QCOMPARE(m.colourScheme(), std::optional<int>(1)); // 7 changes nothing
        QCOMPARE(m.fontSize(), std::optional<int>(14));
        QCOMPARE(m.automaticStateFilters(), QStringList({"MI", "GRR"}));
        QCOMPARE(m.restrictedAudioMinutes(), quint8(9));
        QVERIFY(!m.tooManyMenuItems());
    }
    void extraItemsStayInTable()
    {
        TestHome home;
        MenuDefinitions m;
        m.loadMainMenu(home.write(QStringLiteral("menu.txt"), "[River]\n" + itemLines(32)));
        QVERIFY(m.tooManyMenuItems());
        QCOMPARE(m.menuItemCount(), 31);
        QCOMPARE(m.section(4).size(), MenuDefinitions::ItemsPerSection);
        QCOMPARE(m.section(4).last().caption, QStringLiteral("Item 29"));
        QCOMPARE(m.colourScheme(), std::nullopt);
        QCOMPARE(m.restrictedAudioMinutes(), quint8(0));
    }
    void mainMenuFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ErrorNumber>("error");
        QTest::newRow("two fields")
            << QByteArray("[Misc]\nCaption,ADM\n") << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("retention not a number")
            << QByteArray("[Misc]\nCaption,ADM,3x\n") << ErrorNumber::TypeMismatch;
        QTest::newRow("retention empty")
            << QByteArray("Caption,ADM,\n") << ErrorNumber::TypeMismatch;
        QTest::newRow("office without comma")
            << QByteArray("[Offices]\nGRR 5\n") << ErrorNumber::InvalidCall;
        QTest::newRow("502 items")
            << "[Misc]\n" + itemLines(502) << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("102 offices") << "[Offices]\n" + QByteArray("GRR,1\n").repeated(102)
                                     << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("minutes above 255")
            << QByteArray("[NUMBER OF MINUTES TO PLAY RESTRICTED AUDIO ALARMS]\n256\n")
            << ErrorNumber::Overflow;
    }
    void mainMenuFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(ErrorNumber, error);
        TestHome home;
        MenuDefinitions m;
        try {
            m.loadMainMenu(home.write(QStringLiteral("Vantorel-MainMenu.txt"), content));
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), error);
            QVERIFY2(e.text().contains(QStringLiteral("Vantorel-MainMenu.txt line")),
                     qPrintable(e.text()));
        }
    }
    void quickItems()
    {
        TestHome home;
        QByteArray text = "# comment\nFTMGRR*Grand Rapids Terminal Forecast\nAFDGRR\n\nA*B*C\n";
        text += QByteArray("X\n").repeated(30);
        MenuDefinitions m;
        m.loadQuick(home.write(QStringLiteral("Vantorel-Quick.txt"), text));
        QCOMPARE(m.quickItems().size(), MenuDefinitions::QuickCount);
        QCOMPARE(m.quickItems().at(0).caption, QStringLiteral("Grand Rapids Terminal Forecast"));
        QCOMPARE(m.quickItems().at(0).tag, QStringLiteral("FTMGRR"));
        QCOMPARE(m.quickItems().at(1).caption, QStringLiteral("AFDGRR"));
        QCOMPARE(m.quickItems().at(1).tag, QStringLiteral("AFDGRR"));
        QVERIFY(m.quickItems().at(2).caption.isEmpty()); // an empty line is an item
        QCOMPARE(m.quickItems().at(3).tag, QStringLiteral("A"));
        QCOMPARE(m.quickItems().at(3).caption, QStringLiteral("B*C"));

        try {
            m.loadQuick(home.file(QStringLiteral("missing.txt")));
            QFAIL("missing file loaded");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::FileNotFound);
        }
    }
    void shippedDefinitionsLoad()
    {
        const QString dir = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/");
        MenuDefinitions m;
        m.loadButtons(dir + QStringLiteral("Vantorel-Button.txt"));
        m.loadMainMenu(dir + QStringLiteral("Vantorel-MainMenu.txt"));
        m.loadQuick(dir + QStringLiteral("Vantorel-Quick.txt"));

        QCOMPARE(m.buttons().size(), MenuDefinitions::ButtonCount);
        const QRegularExpression request(QStringLiteral("^[A-Z0-9]{3,9}$"));
        for (const MenuEntry& button : m.buttons())
            QVERIFY2(request.match(button.tag).hasMatch(), qPrintable(button.tag));

        QVERIFY(!m.tooManyMenuItems());
        const QRegularExpression categories(QStringLiteral("^([A-Z0-9]{3}){1,4}$"));
        for (int s = 0; s < MenuDefinitions::SectionCount; ++s) {
            QVERIFY2(!m.section(s).isEmpty(), qPrintable(QString::number(s)));
            for (const MenuEntry& entry : m.section(s))
                QVERIFY2(categories.match(entry.tag).hasMatch(), qPrintable(entry.tag));
        }
        QCOMPARE(m.menuItems().first().categories, QStringLiteral("AFD"));
        QCOMPARE(m.officeCount(), 2);
        QCOMPARE(m.colourScheme(), std::optional<int>(0));
        QCOMPARE(m.fontSize(), std::nullopt);
        QVERIFY(m.automaticStateFilters().isEmpty());
        QCOMPARE(m.restrictedAudioMinutes(), quint8(5));

        QVERIFY(!m.quickItems().isEmpty());
        for (const MenuEntry& item : m.quickItems())
            QVERIFY2(request.match(item.tag).hasMatch() && !item.caption.isEmpty(),
                     qPrintable(item.tag));
    }
};

QTEST_GUILESS_MAIN(TestReferenceTables)
#include "tst_referencetables.moc"
