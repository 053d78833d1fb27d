#include "TestSupport.h"
#include "observations/MetarCollector.h"
#include "observations/MetarFileScan.h"

#include <QTest>

namespace {

const QString KaloFirst =
    QStringLiteral("KALO 010001Z AUTO 17027G37KT 10SM FEW030 SCT110 19/16 A2979 RMK AO2"
                   "     PK WND 18049/2025 RAE48 SLP088 P0005 60014 T01890156 58046=\r\n");
const QString KmiaTail =
    QStringLiteral("     23/19 A3003 RMK TORNADO B02 OHD MOV NE AO2 PK WND 15045/0202"
                   "     WSHFT 0141 PRESRR CONS LTGICCCCG OHD TS OHD MOV NE P0046     $=\r\n");
const QString Kmia = QStringLiteral("KMIA 081403Z 16032G45KT 1/2SM +FC +TSRA BR SCT005 BKN016CB "
                                    "OVC034") +
                     KmiaTail;

MetarFileScan::Result scanFile(const QString& path, const QString& stations,
                               qint64 maxBytes = MetarFileScan::MaxBytes)
{
    const MetarCollector collector(MetarCollector::stationIdentifiers(stations));
    return MetarFileScan::scan(path, collector, maxBytes);
}

} // namespace

class TestMetarCollector : public QObject
{
    Q_OBJECT
private slots:
    void stationIdentifiers_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("ids");
        QTest::newRow("upper-cased") << "kord,kmdw" << QStringList{"KORD", "KMDW"};
        QTest::newRow("blank after comma kept") << "KORD, KMDW" << QStringList{"KORD", " KMDW"};
        QTest::newRow("empty pieces dropped") << ",KORD,,KMDW," << QStringList{"KORD", "KMDW"};
        QTest::newRow("nothing") << "" << QStringList{};
    }
    void stationIdentifiers()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, ids);
        QCOMPARE(MetarCollector::stationIdentifiers(list), ids);
    }
    void collection_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("stations");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("partial");
        QTest::newRow("report over two lines joined directly") << "first.txt"
                                                               << "KALO" << KaloFirst << false;
        QTest::newRow("three letters match the four-letter id") << "first.txt"
                                                                << "alo" << KaloFirst << false;
        QTest::newRow("trailing comma does not match every line") << "first.txt"
                                                                  << "KALO," << KaloFirst << false;
        QTest::newRow("two ids come out in file order")
            << "first.txt"
            << "KALO,KSPS"
            << QStringLiteral(
                   "KSPS 302352Z 10015KT 10SM TSGRRA BKN022CB BKN050 BKN200 25/16 A2967 "
                   "RMK AO2     TSB38RAB25GRB49 SLP036 LTGICCCCG OHD TS OHD GR 1/3 P0000 "
                   "T02500161=\r\n") +
                   KaloFirst
            << false;
        QTest::newRow("report over four lines, repeated in the file")
            << "collective.txt"
            << "KMIA" << Kmia + Kmia << false;
        QTest::newRow("a word of the remarks starts a report")
            << "collective.txt"
            << "TORNADO" << KmiaTail + KmiaTail << false;
        QTest::newRow("one-line report holding both ids is shown twice")
            << "collective.txt"
            << "QQQQ,1354Z="
            << "QQQQ 081354Z=\r\nQQQQ 081354Z=\r\nQQQQ O81354Z AUTO 17027G37KT=\r\n"
            << false;
        QTest::newRow("last line holding a later id is collected again")
            << "first.txt"
            << "KALO,T01890156"
            << KaloFirst + "     PK WND 18049/2025 RAE48 SLP088 P0005 60014 T01890156 58046=\r\n"
            << false;
        QTest::newRow("leading blank finds the id after METAR")
            << "kawn.txt"
            << "LFBA, LFBD"
            << "METAR LFBA 020100Z AUTO 26009KT 220V280 9999 ///TCU 17/14 Q1013=\r\n"
               "METAR LFBD 020100Z AUTO 26006KT 9999 FEW019 SCT054 BKN088 15/14 Q1013      TEMPO "
               "4000 SHRA BKN020TCU=\r\n"
            << false;
        QTest::newRow("leading blank misses an id at the line start")
            << "collective2.txt"
            << "KDMH, KNAK"
            << "KDMH 312354Z AUTO 00/M06 A3012 RMK AO1 SLP198 T00001061 10028     20000 55008=\r\n"
            << false;
        QTest::newRow("line after a bare line feed") << "rtd_bbb.txt"
                                                     << "MUCL"
                                                     << "MUCL 090905Z AUTO 09009KT 29/23 Q1014=\r\n"
                                                     << false;
        QTest::newRow("absent station") << "first.txt"
                                        << "KORD" << QString() << false;
        QTest::newRow("file ends inside a report")
            << "kmwn.txt"
            << "KMWN"
            << "KMWN 200350Z 31037G65KT 0000 -SN FZFG BLSN VV000 M15/M15 RMK VRY LGT ICG\r\n"
            << true;
        QTest::newRow("NUL byte and no closing =")
            << "nullbyte.txt"
            << "KNZY"
            << QStringLiteral("SPECI KNZY 231401Z AUTO 17004KT 5SM BR OVC010 16/13 A2994 RMK") +
                   QChar(0) + QStringLiteral("A)&HCCT01560133 $\x03\r\n")
            << true;
    }
    void collection()
    {
        QFETCH(QString, file);
        QFETCH(QString, stations);
        QFETCH(QString, expected);
        QFETCH(bool, partial);
        const MetarFileScan::Result result =
            scanFile(testDataPath(QStringLiteral("metar/")) + file, stations);
        QCOMPARE(result.status, MetarFileScan::Status::Read);
        QCOMPARE(result.reports, expected);
        QCOMPARE(result.endedInsideReport, partial);
    }
    void largeFileIsReadOnlyUpToTheLimit()
    {
        TestHome home;
        const QByteArray report = "KALO 010001Z AUTO 17027G37KT=\r\n";
        const QString path = home.write(QStringLiteral("big.TXT"), report.repeated(100));
        const MetarFileScan::Result result =
            scanFile(path, QStringLiteral("KALO"), report.size() * 10);
        QVERIFY(result.truncated);
        QCOMPARE(result.reports.count(QStringLiteral("KALO")), 10);
        QVERIFY(MetarFileScan::note(QStringLiteral("big.TXT"), result).endsWith("big.TXT"));
    }
};

QTEST_GUILESS_MAIN(TestMetarCollector)
#include "tst_metarcollector.moc"
