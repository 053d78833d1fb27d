#include "TestSupport.h"
#include "core/Settings.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"

#include <QTest>

namespace {
const QString kPath = QStringLiteral("/opt/abc/abcPager");

// The message part of a recorded command line, as the program receives it.
QString sentMessage(const QString& commandLine)
{
    const QStringList parts = ProcessLauncher(QString()).split(commandLine);
    if (parts.size() != 2)
        return QStringLiteral("<%1 arguments>").arg(parts.size());
    return parts.at(1).mid(parts.at(1).indexOf(QLatin1Char(':')) + 1);
}
} // namespace

class TestPager : public QObject
{
    Q_OBJECT
private slots:
    void truncation_data();
    void truncation();
    void processPageCleaning();
    void shortTextIsNotPaged();
    void suspendedAlarmPageIsLogged();
    void groupAlarmPage();
    void messageStaysOneArgument_data();
    void messageStaysOneArgument();
    void programPathWithBlank();
    void pagerFilesDirectory_data();
    void pagerFilesDirectory();
};

void TestPager::truncation_data()
{
    QTest::addColumn<QString>("maxPages");
    QTest::addColumn<QString>("chars");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("sent");
    QTest::newRow("5 x 80") << "5"
                            << "80" << 1000 << 400;
    QTest::newRow("shorter than the limit") << "5"
                                            << "80" << 399 << 399;
    QTest::newRow("half rounds to even, up") << "2.5"
                                             << "3" << 50 << 8;
    QTest::newRow("half rounds to even, down") << "1"
                                               << "2.5" << 50 << 2;
    QTest::newRow("no characters per page") << "5"
                                            << "" << 50 << 0;
}

void TestPager::truncation()
{
    QFETCH(QString, maxPages);
    QFETCH(QString, chars);
    QFETCH(int, length);
    QFETCH(int, sent);
    RecordingLauncher launcher;
    Settings settings;
    Pager pager(settings, launcher, kPath);
    settings.MaxPages = maxPages;
    pager.PageIt(QString(length, QLatin1Char('x')), "ATM1", chars);
    QCOMPARE(launcher.commandLines.size(), 1);
    QCOMPARE(sentMessage(launcher.commandLines.first()), QString(sent, QLatin1Char('x')));
    QCOMPARE(launcher.windows.first(), LaunchWindow::NormalNoFocus);
}

void TestPager::processPageCleaning()
{
    RecordingLauncher launcher;
    Settings settings;
    Pager pager(settings, launcher, kPath);
    pager.ProcessPage("TORNADO WARNING\r\n\r\nFOR   KENT\r\nCOUNTY\x03\x1e\r\n", "ATM1", "80");
    QCOMPARE(launcher.commandLines,
             QStringList({kPath + " \"ATM1:TORNADO WARNING FOR KENT COUNTY   \""}));
    TestHome home;
    pager.loadTag(home.write("pager-tag.txt", "  WX:  \r\nsecond line\r\n"));
    QCOMPARE(pager.tag(), QStringLiteral("  WX:  "));
    pager.ProcessPage("A\nB", "ATM1", "80");
    QCOMPARE(sentMessage(launcher.commandLines.last()), QStringLiteral("WX:A B"));
    // A tag of two characters or less is not used.
    pager.setTag(QStringLiteral("ab"));
    pager.ProcessPage("A\nB", "ATM1", "80");
    QCOMPARE(sentMessage(launcher.commandLines.last()), QStringLiteral("A B"));
}

void TestPager::shortTextIsNotPaged()
{
    RecordingLauncher launcher;
    Settings settings;
    Pager pager(settings, launcher, kPath);
    pager.ProcessPage("x", "ATM1", "80");
    pager.ProcessPage("", "ATM1", "80");
    QVERIFY(launcher.commandLines.isEmpty());
    // Without the paging program nothing is started either.
    Pager none(settings, launcher);
    none.PageIt("message", "ATM1", "80");
    QVERIFY(launcher.commandLines.isEmpty());
}

void TestPager::suspendedAlarmPageIsLogged()
{
    TestHome home;
    RecordingLauncher launcher;
    Settings settings;
    FakeClock clock;
    Pager pager(settings, launcher, kPath);
    pager.setSuspended(true);
    PagerConfig config;
    config.personalId = QStringLiteral("ATM1");
    config.charsPerPage = QStringLiteral("80");
    const QString log = home.file("pager-log.txt");
    pager.alarmPage("TORNADO WARNING FOR KENT COUNTY", 0, config, log, clock);
    QVERIFY(launcher.commandLines.isEmpty());
    QCOMPARE(readBytes(log),
             QByteArray("ALARM to ATM1 at 12/6/2026 6:27:51 PM - TORNADO WARNING FOR \r\n"));
    pager.setSuspended(false);
    pager.alarmPage("SEVERE\x03WEATHER", 0, config, log, clock);
    QCOMPARE(launcher.commandLines, QStringList({kPath + " \"ATM1:SEVERE WEATHER\""}));
}

void TestPager::groupAlarmPage()
{
    TestHome home;
    RecordingLauncher launcher;
    Settings settings;
    FakeClock clock;
    Pager pager(settings, launcher, kPath);
    settings.MaxPages = QStringLiteral("1");
    PagerConfig config;
    config.groups[2].chars = QStringLiteral("10");
    const QString log = home.file("pager-log.txt");
    pager.alarmPage("FLASH FLOOD WARNING", 3, config, log, clock);
    QCOMPARE(launcher.commandLines, QStringList({kPath + " \"!GROUP3:FLASH FLOO\""}));
    QVERIFY(readBytes(log).startsWith("ALARM to !GROUP3 at "));
    // A method outside 0 to 10 sends and logs nothing.
    pager.alarmPage("X", 11, config, log, clock);
    pager.alarmPage("X", -1, config, log, clock);
    QCOMPARE(launcher.commandLines.size(), 1);
    QCOMPARE(readBytes(log).count('\n'), 1);
}

void TestPager::messageStaysOneArgument_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("quotes") << "He said \"take cover\" now";
    QTest::newRow("ends in quote") << "\"quoted\"";
    QTest::newRow("runs of quotes") << "a\"\"b\"\"\"c";
    QTest::newRow("shell characters") << "x; rm -rf ~ && $(reboot) `id` | tee > /tmp/f '";
    QTest::newRow("blanks and tabs") << "a  b\tc";
    QTest::newRow("empty") << "";
}

void TestPager::messageStaysOneArgument()
{
    QFETCH(QString, message);
    RecordingLauncher launcher;
    Settings settings;
    Pager pager(settings, launcher, kPath);
    settings.MaxPages = QStringLiteral("100");
    pager.PageIt(message, "ATM1", "80");
    const QStringList parts = launcher.startedParts(0);
    QCOMPARE(parts, QStringList({kPath, QStringLiteral("ATM1:") + message}));
}

void TestPager::programPathWithBlank()
{
    RecordingLauncher launcher;
    Settings settings;
    Pager pager(settings, launcher, QStringLiteral("/opt/pager tools/abcPager"));
    pager.PageIt("hello", "ATM1", "80");
    QCOMPARE(launcher.startedParts(0), QStringList({"/opt/pager tools/abcPager", "ATM1:hello"}));
}

void TestPager::pagerFilesDirectory_data()
{
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("fileBeside"); // a pager file beside the program
    QTest::addColumn<QString>("expected");   // "own", "fallback" or empty
    QTest::newRow("not found") << false << QString() << QString();
    QTest::newRow("nothing beside it") << true << QString() << "fallback";
    QTest::newRow("users.ini beside it") << true << "users.ini"
                                         << "own";
    QTest::newRow("groups.ini beside it") << true << "groups.ini"
                                          << "own";
    QTest::newRow("other file beside it") << true << "abcPager.ini"
                                          << "fallback";
}

void TestPager::pagerFilesDirectory()
{
    QFETCH(bool, found);
    QFETCH(QString, fileBeside);
    QFETCH(QString, expected);
    TestHome home;
    RecordingLauncher launcher;
    Settings settings;
    const QString own = home.path() + QStringLiteral("/opt/pager/");
    const QString fallback = home.path() + QStringLiteral("/prog/");
    home.write(QStringLiteral("opt/pager/abcPager"), "program");
    if (!fileBeside.isEmpty())
        home.write(QStringLiteral("opt/pager/") + fileBeside, "[x]");
    Pager pager(settings, launcher, found ? own + QStringLiteral("abcPager") : QString());
    const QString dir = pager.filesDirectory(fallback);
    QCOMPARE(dir, expected == "own" ? own : expected == "fallback" ? fallback : QString());
}

QTEST_GUILESS_MAIN(TestPager)
#include "tst_pager.moc"
