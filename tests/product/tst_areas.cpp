// The areas of real warnings: UGC code groups with their expiry, LAT...LON
// polygons and the storm's position and motion.

#include "TestSupport.h"

#include "product/StormMotion.h"
#include "product/UgcSegments.h"
#include "product/WarningPolygon.h"

#include <QFile>
#include <QtTest>

namespace {

QStringList corpusLines(const QString& name)
{
    QFile f(testDataPath(QStringLiteral("corpus/products/") + name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLatin1(f.readAll());
    text.remove(QLatin1Char('\r'));
    return text.split(QLatin1Char('\n'));
}

QDateTime utc(const QString& iso)
{
    return QDateTime::fromString(iso, Qt::ISODate).toUTC();
}

} // namespace

class tst_areas : public QObject
{
    Q_OBJECT
private slots:
    void ugcSegments_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("issued");
        QTest::addColumn<int>("segments");
        QTest::addColumn<QString>("firstCodes");
        QTest::addColumn<QString>("firstExpires");
        QTest::newRow("tornado warning, three counties")
            << "TORJANMS.TXT"
            << "2005-08-29T16:56:00Z" << 1 << "MSC035 MSC073 MSC091"
            << "2005-08-29T18:15:00Z";
        QTest::newRow("ranges") << "WSWDMXIA.TXT"
                                << "2013-01-26T21:01:00Z" << 5
                                << "IAZ006 IAZ007 IAZ016 IAZ017 IAZ025 IAZ026 IAZ027 IAZ028 "
                                   "IAZ037 IAZ038 IAZ039"
                                << "2013-01-27T05:15:00Z";
        QTest::newRow("two states in one group") << "FFSOKXNJ.TXT"
                                                 << "" << 1 << "NJC003 NJC031 NYC087"
                                                 << "";
        QTest::newRow("whole states") << "FFGMPDCA.TXT"
                                      << "" << 1 << "CAZALL ORZALL"
                                      << "";
    }
    void ugcSegments()
    {
        QFETCH(QString, file);
        QFETCH(QString, issued);
        QFETCH(int, segments);
        QFETCH(QString, firstCodes);
        QFETCH(QString, firstExpires);
        const auto ugc = UgcSegments::parse(corpusLines(file), utc(issued));
        QVERIFY(ugc);
        QCOMPARE(ugc->segments().size(), segments);
        const UgcSegment& first = ugc->segments().first();
        QCOMPARE(first.codes.join(QLatin1Char(' ')), firstCodes);
        QCOMPARE(first.expires.toString(Qt::ISODate), firstExpires);
        QVERIFY(first.lastLine > first.firstLine);
    }

    void segmentsEndAtDollarsAndCoverWholeStates()
    {
        const QStringList lines = corpusLines(QStringLiteral("WSWDMXIA.TXT"));
        const auto ugc = UgcSegments::parse(lines);
        QVERIFY(ugc);
        for (const UgcSegment& s : ugc->segments())
            QVERIFY2(lines.at(s.lastLine).startsWith(QLatin1String("$$")),
                     qPrintable(lines.at(s.lastLine)));
        QVERIFY(ugc->covers(QStringLiteral("IAZ038")));
        QVERIFY(!ugc->covers(QStringLiteral("IAZ001")));
        const auto states = UgcSegments::parse(corpusLines(QStringLiteral("FFGMPDCA.TXT")));
        QVERIFY(states->covers(QStringLiteral("ORZ011")));
        QVERIFY(!states->covers(QStringLiteral("ORC011")));
        QVERIFY(!UgcSegments::parse(corpusLines(QStringLiteral("AFDBOXMA.TXT"))));
    }

    void expiryPlacedAfterIssue_data()
    {
        QTest::addColumn<QString>("ddhhmm");
        QTest::addColumn<QString>("issued");
        QTest::addColumn<QString>("expires");
        QTest::newRow("same day") << "291815"
                                  << "2005-08-29T16:56:00Z"
                                  << "2005-08-29T18:15:00Z";
        QTest::newRow("next month") << "010400"
                                    << "2005-08-31T22:00:00Z"
                                    << "2005-09-01T04:00:00Z";
        QTest::newRow("next year") << "010030"
                                   << "2024-12-31T23:00:00Z"
                                   << "2025-01-01T00:30:00Z";
        QTest::newRow("a little before issue") << "302330"
                                               << "2024-12-31T00:10:00Z"
                                               << "2024-12-30T23:30:00Z";
        QTest::newRow("day 31 after a short month") << "310600"
                                                    << "2024-02-29T12:00:00Z"
                                                    << "2024-03-31T06:00:00Z";
        QTest::newRow("hour 25") << "292515"
                                 << "2005-08-29T16:56:00Z"
                                 << "";
        QTest::newRow("no issue time") << "291815"
                                       << ""
                                       << "";
    }
    void expiryPlacedAfterIssue()
    {
        QFETCH(QString, ddhhmm);
        QFETCH(QString, issued);
        QFETCH(QString, expires);
        QCOMPARE(UgcSegments::placeDayTime(ddhhmm, utc(issued)).toString(Qt::ISODate), expires);
    }

    // Bounds against a hostile product: each state's list uses at most 500
    // tokens and 700 numbers, a segment 1000 codes, a group 20 lines.
    void groupBounds_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("covered");
        QString many = QStringLiteral("MIZ");
        for (int n = 1; n <= 501; ++n)
            many += QStringLiteral("%1-").arg(n, 3, 10, QLatin1Char('0'));
        many += QStringLiteral("051200-");
        const QStringList range{"MIZ001>999-051200-"};
        QTest::newRow("700 numbers are used") << range << "MIZ700" << true;
        QTest::newRow("the 701st number is not") << range << "MIZ701" << false;
        QTest::newRow("500 tokens are used") << QStringList{many} << "MIZ500" << true;
        QTest::newRow("the 501st token is not") << QStringList{many} << "MIZ501" << false;
        const QStringList states{"IAZ001>999-IAC001>999-ILZ001>999-010000-"};
        QTest::newRow("the next state's list has its own bounds") << states << "IAC300" << true;
        QTest::newRow("a segment holds 1000 codes") << states << "IAC301" << false;
        QStringList endless{"IAZ001>999-"};
        for (int i = 0; i < 100; ++i)
            endless << QStringLiteral("IAC001>999-");
        endless << QStringLiteral("010000-");
        QTest::newRow("no expiry within 20 lines") << endless << "IAZ001" << false;
    }
    void groupBounds()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, code);
        QFETCH(bool, covered);
        const auto ugc = UgcSegments::parse(lines);
        QCOMPARE(ugc && ugc->covers(code), covered);
    }

    void polygonContains_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("lon");
        QTest::addColumn<bool>("inside");
        QTest::newRow("Hattiesburg in the Katrina warning")
            << "TORJANMS.TXT" << 31.33 << -89.29 << true;
        QTest::newRow("Jackson outside it") << "TORJANMS.TXT" << 32.30 << -90.18 << false;
        QTest::newRow("on an edge") << "TORJANMS.TXT" << 31.10 << -89.15 << true;
        QTest::newRow("on a corner") << "TORJANMS.TXT" << 31.40 << -89.15 << true;
        QTest::newRow("just east of the edge") << "TORJANMS.TXT" << 31.10 << -89.14 << false;
        QTest::newRow("Omaha warning, inside") << "TOROAXIA.TXT" << 41.20 << -95.75 << true;
        QTest::newRow("Guam, east longitudes") << "FFWGUMGU.TXT" << 14.80 << 145.40 << false;
    }
    void polygonContains()
    {
        QFETCH(QString, file);
        QFETCH(double, lat);
        QFETCH(double, lon);
        QFETCH(bool, inside);
        const QStringList lines = corpusLines(file);
        const bool east = file.contains(QLatin1String("GUM"));
        const auto polygon = WarningPolygon::parse(lines, east);
        QVERIFY(polygon);
        QVERIFY(polygon->bounds().width() > 0);
        QCOMPARE(polygon->contains(QPointF(lon, lat)), inside);
    }

    void polygonLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("points");
        QTest::newRow("continued over lines")
            << "LAT...LON 3797 7641 3801 7647\n      3811 7660 3815 7661\nTIME...MOT...LOC" << 4;
        QTest::newRow("two points only") << "LAT...LON 3797 7641 3801 7647" << 0;
        QTest::newRow("latitude beyond the pole") << "LAT...LON 9797 7641 3801 7647 3811 7660" << 0;
        QTest::newRow("crossing 180") << "LAT...LON 5200 17900 5210 18100 5300 18050" << 3;
        QTest::newRow("endless") << "LAT...LON" + QString(" 3797 7641").repeated(400) << 100;
        QTest::newRow("no block") << "TORNADO WARNING" << 0;
    }
    void polygonLines()
    {
        QFETCH(QString, text);
        QFETCH(int, points);
        const auto polygon = WarningPolygon::parse(text.split(QLatin1Char('\n')));
        QCOMPARE(polygon ? polygon->points().size() : 0, points);
        if (polygon)
            polygon->contains(QPointF(179.5, 52.05)); // crossing 180: no crash
    }

    void stormMotion_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("locations");
        QTest::newRow("one location") << "TOROAXIA.TXT"
                                      << "21:58" << 201 << 38 << 1;
        QTest::newRow("a line of storms") << "SVSDMXIA.TXT"
                                          << "03:31" << 275 << 33 << 2;
        QTest::newRow("marine") << "SMWLWXAN.TXT"
                                << "19:49" << 302 << 18 << 1;
    }
    void stormMotion()
    {
        QFETCH(QString, file);
        QFETCH(QString, time);
        QFETCH(int, direction);
        QFETCH(int, speed);
        QFETCH(int, locations);
        const auto motion = StormMotion::parse(corpusLines(file));
        QVERIFY(motion);
        QCOMPARE(motion->time().toString(QStringLiteral("HH:mm")), time);
        QCOMPARE(motion->directionDegrees(), direction);
        QCOMPARE(motion->speedKnots(), speed);
        QCOMPARE(motion->locations().size(), locations);
        QVERIFY(motion->locations().first().x() < 0);
    }
};

QTEST_GUILESS_MAIN(tst_areas)
#include "tst_areas.moc"
