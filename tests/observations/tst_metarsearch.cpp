#include "ObservationFixture.h"
#include "observations/MetarArchiveJob.h"

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

class TestMetarSearch : public QObject
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
};

QTEST_GUILESS_MAIN(TestMetarSearch)
#include "tst_metarsearch.moc"
