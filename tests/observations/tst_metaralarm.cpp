#include "ObservationFixture.h"

#include <QTest>

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

class TestMetarAlarm : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestMetarAlarm)
#include "tst_metaralarm.moc"
