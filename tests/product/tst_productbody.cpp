// What is read from a product's body: the cleaned bulletin text, VTEC
// strings, UGC code groups with their expiry, LAT...LON polygons and the
// storm's position and motion, from real warnings and hand-made lines.

#include "TestSupport.h"

#include "product/BulletinText.h"
#include "product/PVtec.h"
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

using LeadingNul = BulletinText::LeadingNul;

class tst_productbody : public QObject
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

    void corpusProducts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("first");    // action event-key
        QTest::addColumn<QString>("firstEnd"); // ISO, empty when not given
        QTest::newRow("tornado warning") << "TORJANMS.TXT" << 1 << "NEW KJAN.TO.W.0130"
                                         << "2005-08-29T18:15:00Z";
        QTest::newRow("statement cancelling part, continuing the rest")
            << "SVSOAXIA.TXT" << 2 << "CAN KOAX.TO.W.0038"
            << "2024-04-26T23:00:00Z";
        QTest::newRow("no vtec") << "AFDBOXMA.TXT" << 0 << QString() << QString();
    }
    void corpusProducts()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        QFETCH(QString, first);
        QFETCH(QString, firstEnd);
        QFile f(testDataPath(QStringLiteral("corpus/products/") + file));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<PVtec> all = PVtec::parseAll(QString::fromLatin1(f.readAll()));
        QCOMPARE(all.size(), count);
        if (count == 0)
            return;
        QCOMPARE(all.first().action() + QLatin1Char(' ') + all.first().eventKey(), first);
        QCOMPARE(all.first().end().toString(Qt::ISODate), firstEnd);
    }

    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("beginGiven");
        QTest::addColumn<bool>("ends");
        QTest::newRow("begin not given")
            << "/O.EXT.KDMX.WS.W.0004.000000T0000Z-240110T0600Z/" << true << false << false;
        QTest::newRow("cancel") << " /O.CAN.KLMK.SV.W.0210.000000T0000Z-080605T0100Z/" << true
                                << false << true;
        QTest::newRow("upgrade") << "/O.UPG.KGRR.WS.A.0002.231201T0000Z-231202T0000Z/" << true
                                 << true << true;
        QTest::newRow("month 13") << "/O.NEW.KJAN.TO.W.0001.051329T1651Z-050829T1815Z/" << false
                                  << false << false;
        QTest::newRow("unknown action")
            << "/O.XYZ.KJAN.TO.W.0001.050829T1651Z-050829T1815Z/" << false << false << false;
        QTest::newRow("H-VTEC is not P-VTEC")
            << "/00000.0.ER.000000T0000Z.000000T0000Z.000000T0000Z.OO/" << false << false << false;
        QTest::newRow("cut short")
            << "/O.NEW.KJAN.TO.W.0130.050829T1651Z-0508" << false << false << false;
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(bool, valid);
        QFETCH(bool, beginGiven);
        QFETCH(bool, ends);
        const auto v = PVtec::parse(line);
        QCOMPARE(v.has_value(), valid);
        if (!v)
            return;
        QCOMPARE(v->begin().isValid(), beginGiven);
        QVERIFY(v->end().isValid());
        QCOMPARE(v->endsEvent(), ends);
    }

    void clean_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("shown");   // as the bulletin display shows it
        QTest::addColumn<QString>("alarmed"); // as the alarms match it
        QTest::newRow("CR CR LF") << QByteArray("A\r\r\nB\r\r\n") << "A\r\nB\r\n"
                                  << "A\r\nB\r\n";
        QTest::newRow("CR CR CR: one pass") << QByteArray("A\r\r\r\n") << "A\r\r\n"
                                            << "A\r\r\n";
        QTest::newRow("framing before the first start group dropped, later ones kept")
            << QByteArray("x\x01\r\r\n123\x01\r\r\nZ\0Y", 15) << "123\x01\r\nZY"
            << "123\x01\r\nZY";
        QTest::newRow("start group only") << QByteArray("\x01\r\r\n") << ""
                                          << "";
        QTest::newRow("leading NUL: not available, but alarmed") << QByteArray("\0TORNADO", 8) << ""
                                                                 << "TORNADO";
        QTest::newRow("NUL right after the start group") << QByteArray("\x01\r\r\n\0"
                                                                       "123",
                                                                       8)
                                                         << ""
                                                         << "123";
        QTest::newRow("Latin-1 kept") << QByteArray("caf\xe9") << "caf\u00e9"
                                      << "caf\u00e9";
        QTest::newRow("empty") << QByteArray() << ""
                               << "";
    }
    void clean()
    {
        QFETCH(QByteArray, raw);
        QTEST(BulletinText::clean(raw), "shown");
        QTEST(BulletinText::clean(raw, LeadingNul::Removed), "alarmed");
    }

    // A raw broadcast product shows from its sequence number on.
    void corpusRawProduct()
    {
        const QString text = BulletinText::clean(
            readBytes(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT"))));
        QVERIFY(text.at(0).isDigit());
        QVERIFY(!text.contains(QChar(1)));
        QVERIFY(!text.contains(QStringLiteral("\r\r")));
        QVERIFY(text.contains(QStringLiteral("TORNADO WARNING")));
    }
};

QTEST_GUILESS_MAIN(tst_productbody)
#include "tst_productbody.moc"
