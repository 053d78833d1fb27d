#include "ObservationFixture.h"
#include "TestSupport.h"
#include "observations/MetarArchiveJob.h"
#include "observations/MetarCollector.h"
#include "observations/MetarFileScan.h"

#include <QSignalSpy>
#include <QTest>
#include <zip.h>

namespace {

const QString Latest = MetarSearch::LatestHeading;
const QString Kalo =
    QStringLiteral("KALO 010001Z AUTO 17027G37KT 10SM FEW030 SCT110 19/16 A2979 RMK AO2"
                   "     PK WND 18049/2025 RAE48 SLP088 P0005 60014 T01890156 58046=\r\n");
const QString Unchanged = QStringLiteral("(before)");

QString stamped(int day, int hour)
{
    return QStringLiteral("SAHOURLY.12%1%200.TXT")
        .arg(day, 2, 10, QChar('0'))
        .arg(hour, 2, 10, QChar('0'));
}

// The first 12 characters of every line of a result.
QStringList heads(const QString& text)
{
    QStringList heads;
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        heads << line.left(12);
    return heads;
}

// An hourly collection arrives as the broadcast sends it, a .ZIS with one
// deflated member; it is unpacked into the hourly directory and copied under
// its time-stamped name, then the hooks run as extraction runs them.
void arrive(ObservationFixture& f, const QString& stampedName, const QString& corpusFile)
{
    const QByteArray bytes = readBytes(testDataPath("metar/" + corpusFile));
    const QByteArray zis = (f.settings.SAPath + "SAHOURLY.ZIS").toLocal8Bit();
    zip_t* out = zip_open(zis.constData(), ZIP_CREATE | ZIP_TRUNCATE, nullptr);
    zip_file_add(out, "SAHOURLY.TXT", zip_source_buffer(out, bytes.constData(), bytes.size(), 0),
                 0);
    QCOMPARE(zip_close(out), 0);
    zip_t* in = zip_open(zis.constData(), ZIP_RDONLY, nullptr);
    QByteArray unpacked(bytes.size(), '\0');
    zip_file_t* member = zip_fopen_index(in, 0, 0);
    QCOMPARE(zip_fread(member, unpacked.data(), unpacked.size()), zip_int64_t(bytes.size()));
    zip_fclose(member);
    zip_close(in);
    f.home.write("hourly/SAHOURLY.TXT", unpacked);
    QFile::copy(f.settings.SAPath + "SAHOURLY.TXT", f.settings.SAPath + stampedName);
    QFile::remove(QString::fromLocal8Bit(zis));
    f.search.GetHourly(f.settings.Metar, true);
    f.search.GetHourly(f.settings.Metar, false);
    f.search.AlarmMetar("METAR");
}

} // namespace

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

namespace {

const QString Reports = MetarSearch::LatestHeading +
                        "KALO 010001Z AUTO 17027G37KT 10SM FEW030 SCT110 19/16 A2979 RMK AO2"
                        "     PK WND 18049/2025 RAE48 SLP088 P0005 60014 T01890156 58046=\r\n";

// pattern, then Lst Prnt Cmp Scr Audio EMail Pager Time, zone, Log Dis EXE Cus
AlarmDefinition definition(const QString& pattern, const QString& switches)
{
    return AlarmFile::readLine('"' + pattern + "\"," + switches);
}

} // namespace

class TestMetar : public QObject
{
    Q_OBJECT
private slots:
    void searchOrder_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<bool>("withLatest");
        QTest::addColumn<bool>("oldestFirst");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("firstHour"); // hour of the first file read
        QTest::newRow("20 files and the latest, newest first") << 20 << true << false << 13 << 20;
        QTest::newRow("20 files and the latest, oldest first") << 20 << true << true << 13 << 8;
        QTest::newRow("20 files, newest first") << 20 << false << false << 14 << 20;
        QTest::newRow("20 files, oldest first") << 20 << false << true << 14 << 7;
        QTest::newRow("3 files and the latest") << 3 << true << true << 3 << 1;
    }
    void searchOrder()
    {
        QFETCH(int, files);
        QFETCH(bool, withLatest);
        QFETCH(bool, oldestFirst);
        QFETCH(int, count);
        QFETCH(int, firstHour);
        QStringList names;
        for (int hour = 1; hour <= files; ++hour)
            names << stamped(8, hour);
        if (withLatest)
            names << QStringLiteral("SAHOURLY.TXT");
        const QStringList order = MetarArchiveJob::searchOrder(names, oldestFirst);
        QCOMPARE(order.size(), count);
        QCOMPARE(order.first(), stamped(8, firstHour));
        QVERIFY(!order.contains(QStringLiteral("SAHOURLY.TXT")));
    }
    void archive_data()
    {
        QTest::addColumn<bool>("oldestFirst");
        QTest::addColumn<QString>("stations");
        QTest::addColumn<QStringList>("found");
        const QString newest = QStringLiteral("KALO 081354Z");
        QTest::newRow("new to old")
            << false << "KALO" << QStringList{newest, newest, newest, "KALO 010001Z"};
        QTest::newRow("old to new")
            << true << "kalo" << QStringList{"KALO 010001Z", newest, newest, newest};
        QTest::newRow("two stations, file by file")
            << false << "KSPS,KALO"
            << QStringList{"KSPS 081352Z", newest, newest, newest, "KSPS 302352Z", "KALO 010001Z"};
    }
    void archive()
    {
        QFETCH(bool, oldestFirst);
        QFETCH(QString, stations);
        QFETCH(QStringList, found);
        ObservationFixture f;
        arrive(f, stamped(1, 0), "first.txt");
        arrive(f, stamped(8, 14), "collective.txt");
        f.settings.Reverse = oldestFirst ? -1 : 0;
        QSignalSpy finished(&f.search, &MetarSearch::searchFinished);
        f.search.startSearch(stations);
        QVERIFY(finished.wait(10000));
        QVERIFY(f.display.text().startsWith(MetarArchiveJob::ArchiveHeading));
        QCOMPARE(heads(f.display.text()).mid(1), found);
    }
    void archiveGoesOnPastBadFiles()
    {
        ObservationFixture f;
        const QStringList listed = {stamped(1, 0), stamped(2, 0), stamped(3, 0), stamped(4, 0)};
        f.addHourly(listed[0], "first.txt");
        // listed[1] has vanished since it was listed; listed[2] is no plain file
        QDir().mkpath(f.settings.SAPath + listed[2]);
        f.addHourly(listed[3], "kmwn.txt");
        const MetarArchiveJob::Outcome outcome =
            MetarArchiveJob::search(f.settings.SAPath, listed, "KMWN,KALO", true);
        QCOMPARE(outcome.text,
                 MetarArchiveJob::ArchiveHeading + Kalo + "METAR file not available: " + listed[1] +
                     "\r\nMETAR file could not be read: " + listed[2] +
                     "\r\nKMWN 200350Z 31037G65KT 0000 -SN FZFG BLSN VV000 M15/M15 RMK "
                     "VRY LGT ICG\r\n");
    }
    void arrivalAlarms()
    {
        ObservationFixture f;
        f.settings.Metar = "KSPS";
        f.alarms.definitions() << AlarmFile::readLine("\"METAR\",0,0,0,1,-1,-1,-1,0,\"\",1,0,0,1");
        arrive(f, stamped(1, 0), "first.txt");
        arrive(f, stamped(8, 14), "collective.txt");
        const QString ksps = Latest + "KSPS 081352Z 10015KT";
        QVERIFY(f.display.text().startsWith(ksps));
        QCOMPARE(f.read(f.programDir + "weather.txt").count("*** METAR - 12/6/2026 6:27:51 PM ***"),
                 2);
        QVERIFY(f.read(f.settings.ArchivePath + "METAR").startsWith(ksps));
        QCOMPARE(f.actions.scrolls.filter("METAR Observation | Latest Observation:    KSPS").size(),
                 2);
        // A later arrival without the station clears what was found before.
        arrive(f, stamped(9, 0), "kmwn.txt");
        QCOMPARE(f.search.alarmText(), QString());
        QCOMPARE(f.actions.calls.size(), 2);
    }
    void hooks_data()
    {
        QTest::addColumn<QString>("hourly"); // corpus file filed as SAHOURLY.TXT; empty: none
        QTest::addColumn<bool>("offHour");   // GetOffHourly of the product key MTRSP8
        QTest::addColumn<QString>("stations");
        QTest::addColumn<bool>("displayIt");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("alarmText"); // "old": an earlier arrival's reports stay
        QTest::newRow("latest shown, tag cleared")
            << "first.txt" << false << "KALO" << true << Latest + Kalo << ""
            << "old";
        QTest::newRow("latest handed to the alarm")
            << "first.txt" << false << "KALO" << false << Unchanged << "OLD" << Latest + Kalo;
        QTest::newRow("absent station leaves the display")
            << "first.txt" << false << "KORD" << true << Unchanged << "OLD"
            << "";
        QTest::newRow("no hourly files")
            << "" << false << "KALO" << true << MetarSearch::NoFilesText << ""
            << "old";
        QTest::newRow("no hourly files on the alarm path")
            << "" << false << "KALO" << false << MetarSearch::NoFilesText << ""
            << "";
        QTest::newRow("report cut off by the end of the file")
            << "kmwn.txt" << false << "KMWN" << true
            << Latest +
                   "KMWN 200350Z 31037G65KT 0000 -SN FZFG BLSN VV000 M15/M15 RMK VRY LGT ICG\r\n"
            << ""
            << "old";
        QTest::newRow("off-hour product shown with tag METAR")
            << "first.txt" << true << "KALO" << true << Latest + Kalo << "METAR"
            << "old";
        QTest::newRow("off-hour product not filed")
            << "" << true << "KALO" << false << MetarSearch::NotAvailableText << ""
            << "";
    }
    void hooks()
    {
        QFETCH(QString, hourly);
        QFETCH(bool, offHour);
        QFETCH(QString, stations);
        QFETCH(bool, displayIt);
        QFETCH(QString, display);
        QFETCH(QString, tag);
        QFETCH(QString, alarmText);
        ObservationFixture f;
        f.addHourly("SAHOURLY.TXT", "first.txt");
        f.search.GetHourly("KSPS", false); // an earlier arrival's reports
        const QString earlier = f.search.alarmText();
        QFile::remove(f.settings.SAPath + "SAHOURLY.TXT");
        const QString key = QStringLiteral("MTRSP8   ~KWBC~US");
        if (!hourly.isEmpty()) {
            f.addHourly("SAHOURLY.TXT", hourly);
            QFile::copy(testDataPath("metar/" + hourly), f.settings.TextPath + key);
        }
        f.display.setDisplay(Unchanged, "OLD");
        if (offHour)
            f.search.GetOffHourly(stations, key, displayIt);
        else
            f.search.GetHourly(stations, displayIt);
        QCOMPARE(f.display.text(), display);
        QCOMPARE(f.display.tag(), tag);
        QCOMPARE(f.search.alarmText(), alarmText == "old" ? earlier : alarmText);
    }
    void interactive_data()
    {
        QTest::addColumn<QStringList>("answers"); // "<cancel>" = Cancel
        QTest::addColumn<QStringList>("files");   // name=corpus file
        QTest::addColumn<QString>("display");
        const QStringList one = {"SAHOURLY.0812=first.txt"};
        QTest::newRow("cancel") << QStringList{"<cancel>"} << one << Unchanged;
        QTest::newRow("empty answer") << QStringList{""} << one << Unchanged;
        QTest::newRow("two letters") << QStringList{"AL"} << one << MetarSearch::ShortAnswerText;
        QTest::newRow("one file of any name") << QStringList{"kalo"} << one << Latest + Kalo;
        QTest::newRow("one file, nothing found") << QStringList{"KORD"} << one << Latest;
        QTest::newRow("no files") << QStringList{"KALO"} << QStringList{}
                                  << MetarSearch::NoFilesText;
        QTest::newRow("a second search replaces the first")
            << QStringList{"KSPS", "KALO"}
            << QStringList{"SAHOURLY.12010000.TXT=first.txt", "SAHOURLY.TXT=first.txt"}
            << MetarArchiveJob::ArchiveHeading + Kalo;
    }
    void interactive()
    {
        QFETCH(QStringList, answers);
        QFETCH(QStringList, files);
        QFETCH(QString, display);
        ObservationFixture f;
        for (const QString& file : files)
            f.addHourly(file.section('=', 0, 0), file.section('=', 1));
        f.display.setDisplay(Unchanged, "OLD");
        QSignalSpy finished(&f.search, &MetarSearch::searchFinished);
        for (const QString& answer : answers) {
            f.prompter.inputs << (answer == "<cancel>" ? std::nullopt : std::optional(answer));
            f.search.askAndSearch();
        }
        if (f.search.searchRunning()) {
            QCOMPARE(f.display.text(), MetarSearch::StandbyText);
            QVERIFY(finished.wait(10000));
            // Searches run one at a time and report in order, so a replaced one
            // has reported (and been ignored) before the last one finished.
            QCOMPARE(finished.size(), 1);
        }
        QCOMPARE(f.display.text(), display);
        QCOMPARE(f.display.tag(), display == Unchanged ? QStringLiteral("OLD") : QString());
    }

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

    void breakLines_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("pieces");
        QTest::newRow("85 stays one line") << 85 << QList<int>{85};
        QTest::newRow("86 breaks after 85") << 86 << QList<int>{85, 1};
        QTest::newRow("100 is printed as two lines") << 100 << QList<int>{85, 15};
        QTest::newRow("148 reaches 150 with the first break") << 148 << QList<int>{85, 63};
        QTest::newRow("149 passes 150 with the first break") << 149 << QList<int>{85, 63, 1};
        QTest::newRow("300 gets all three breaks") << 300 << QList<int>{85, 63, 53, 99};
    }
    void breakLines()
    {
        QFETCH(int, length);
        QFETCH(QList<int>, pieces);
        QString text;
        for (int i = 0; i < length; ++i)
            text += QChar('A' + i % 26);
        const QString broken = MetarAlarm::breakLines(text);
        QList<int> lengths;
        for (const QString& piece : broken.split(QStringLiteral("\r\n")))
            lengths << piece.size();
        QCOMPARE(lengths, pieces);
        QCOMPARE(QString(broken).remove(QStringLiteral("\r\n")), text);
    }
    void definitionsFire_data()
    {
        QTest::addColumn<QStringList>("definitions"); // pattern|switches
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("hour");
        QTest::addColumn<QString>("reports");
        QTest::addColumn<QStringList>("calls");
        const QString scroll = "0,0,0,1,-1,-1,-1,0,\"\",0,0,0,0";
        const QString quietScroll = "0,0,0,1,-1,-1,-1,1,\"\",0,0,0,0";
        QTest::newRow("two definitions fire in table order")
            << QStringList{"METAR|0,0,0,1,-1,-1,0,0,\"\",0,0,0,0",
                           "XMETARX|0,0,0,0,0,-1,3,0,\"\",0,0,0,0"}
            << "METAR" << 12 << Reports
            << QStringList{"page 0", "scroll", "sound alert1.wav", "page 3"};
        QTest::newRow("SPECI arrival fires SPECI definitions only")
            << QStringList{"METAR|" + scroll, "SPECI|0,0,0,0,-1,-1,1,0,\"\",0,0,0,0"} << "SPECI"
            << 12 << Reports << QStringList{"page 1"};
        QTest::newRow("pattern test is case-sensitive")
            << QStringList{"metar|" + scroll} << "METAR" << 12 << Reports << QStringList{};
        QTest::newRow("no reports fire nothing")
            << QStringList{"METAR|" + scroll} << "METAR" << 12 << QString() << QStringList{};
        QTest::newRow("quiet hours skip that definition only")
            << QStringList{"METAR|" + quietScroll, "METAR|" + scroll} << "METAR" << 23 << Reports
            << QStringList{"scroll"};
        QTest::newRow("before CutoffAM")
            << QStringList{"METAR|" + quietScroll} << "METAR" << 6 << Reports << QStringList{};
        QTest::newRow("CutoffAM hour is inside") << QStringList{"METAR|" + quietScroll} << "METAR"
                                                 << 7 << Reports << QStringList{"scroll"};
        QTest::newRow("CutoffPM hour is inside") << QStringList{"METAR|" + quietScroll} << "METAR"
                                                 << 22 << Reports << QStringList{"scroll"};
        QTest::newRow("empty pattern ends the table")
            << QStringList{"|" + scroll, "METAR|" + scroll} << "METAR" << 12 << Reports
            << QStringList{};
        QTest::newRow("missing sound file gives no sound")
            << QStringList{"METAR|0,0,0,0,4,-1,-1,0,\"\",0,0,0,0"} << "METAR" << 12 << Reports
            << QStringList{};
        QTest::newRow("BEEP choice looks for alert10.wav")
            << QStringList{"METAR|0,0,0,0,9,-1,-1,0,\"\",0,0,0,0"} << "METAR" << 12 << Reports
            << QStringList{"sound alert10.wav"};
        QTest::newRow("mail to address book entry 2")
            << QStringList{"METAR|0,0,0,0,-1,2,-1,0,\"\",0,0,0,0"} << "METAR" << 12 << Reports
            << QStringList{"mail wx@example.org,ops@example.org"};
        QTest::newRow("entry without address sends nothing")
            << QStringList{"METAR|0,0,0,0,-1,7,-1,0,\"\",0,0,0,0"} << "METAR" << 12 << Reports
            << QStringList{};
        QTest::newRow("pager number past the groups")
            << QStringList{"METAR|0,0,0,0,-1,-1,11,0,\"\",0,0,0,0"} << "METAR" << 12 << Reports
            << QStringList{};
    }
    void definitionsFire()
    {
        QFETCH(QStringList, definitions);
        QFETCH(QString, kind);
        QFETCH(int, hour);
        QFETCH(QString, reports);
        QFETCH(QStringList, calls);
        ObservationFixture f;
        for (const QString& d : definitions)
            f.alarms.definitions() << definition(d.section('|', 0, 0), d.section('|', 1));
        f.home.write("prog/alert1.wav", "RIFF");
        f.home.write("prog/alert10.wav", "RIFF");
        f.actions.addresses = QStringList{"me@example.org", "", "wx@example.org,ops@example.org"};
        f.clock.current.setTime(QTime(hour, 30));
        f.alarm.AlarmMetar(reports, kind);
        QCOMPARE(f.actions.calls, calls);
        if (calls.value(0).startsWith("mail"))
            QCOMPARE(f.status.text(), QStringLiteral("Sent to wx"));
    }
    void logArchiveAndPrint()
    {
        ObservationFixture f;
        f.alarms.definitions() << definition("METAR", "0,1,0,0,-1,-1,-1,0,\"\",1,0,0,1");
        f.alarm.AlarmMetar(Reports, "METAR");
        f.alarm.AlarmMetar(Reports, "METAR");
        const QString r = MetarAlarm::breakLines(Reports);
        const QString entry = "*** METAR - 12/6/2026 6:27:51 PM ***\r\n" + QString(55, '-') +
                              "\r\n" + r + "\r\n \r\n \r\n";
        QCOMPARE(f.read(f.programDir + "weather.txt"), entry + entry);
        QCOMPARE(f.read(f.settings.ArchivePath + "METAR"), r + "\r\n");
        QCOMPARE(f.printer.printed.value(1),
                 "12|12/6/2026 6:27:51 PM\r\n" + r + "\r\n \r\n \r\n \r\n");
    }
    void mailPageAndScrollTexts()
    {
        ObservationFixture f;
        f.settings.stripLF = true;
        f.actions.addresses = QStringList{"me@example.org"};
        f.alarms.definitions() << definition("METAR", "0,0,0,1,-1,0,0,0,\"\",0,0,0,0");
        f.alarm.AlarmMetar(Reports, "METAR");
        // Bare line feeds, except the pair that ends the text.
        QString body = MetarAlarm::breakLines(Reports).replace("\r\n", "\n");
        body.chop(1);
        body += "\r\n";
        QCOMPARE(f.actions.bodies, QStringList{body});
        QCOMPARE(f.read(f.programDir + "email-log.txt"),
                 "Emailing METAR to me@example.org at 12/6/2026 6:27:51 PM\r\n");
        const QString oneLine = QString(body).replace('\r', ' ').replace('\n', ' ');
        QCOMPARE(f.actions.pages, QStringList{oneLine});
        QCOMPARE(f.actions.scrolls,
                 QStringList{"METAR Observation | " + oneLine + QString(21, ' ')});
    }
    void failingActionDoesNotStopTheOthers()
    {
        ObservationFixture f;
        f.settings.ArchivePath = f.home.path() + "/no such dir/";
        f.actions.scrollAllowed = false;
        f.alarms.definitions() << definition("METAR", "0,0,0,1,-1,-1,-1,0,\"\",1,0,0,1");
        f.alarm.AlarmMetar(Reports, "METAR");
        QVERIFY(f.read(f.programDir + "weather.txt").contains("KALO 010001Z"));
        QCOMPARE(f.actions.calls, QStringList{"scroll"});
        QCOMPARE(f.display.text(), MetarAlarm::ScrollLimitText);
        f.actions.scrollAllowed = true;
        f.alarm.AlarmMetar(Reports, "METAR");
        QVERIFY(f.display.text().startsWith("MAIN: AlarmMetar\nError: 75\n"));
    }
};

QTEST_GUILESS_MAIN(TestMetar)
#include "tst_metar.moc"
