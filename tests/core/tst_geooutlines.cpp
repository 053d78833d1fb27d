// The shipped county outlines: which county holds a known place, the UGC
// code it yields, and outline files that are damaged.

#include "core/GeoLocation.h"
#include "core/GeoOutlines.h"

#include <QtTest>

class tst_geooutlines : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_GUILESS_MAIN(tst_geooutlines)
#include "tst_geooutlines.moc"
