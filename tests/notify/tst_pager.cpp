// Paging: the text sent (cleaned and cut to the page size), the pick list
// and manual pages, the paging program's command line and its queue, and how
// a failure is reported.
#include "TestSupport.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "notify/ManualPage.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "notify/SendFailures.h"
#include "platform/ProcessLauncher.h"

#include <QFile>
#include <QRegularExpression>
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

struct Fixture : CoreFixture
{
    PagerConfig pagers;
    Pager pager{settings, launcher, kPath};
    ManualPage page{
        ManualPage::Context{settings, display, tables, pagers, pager, prompter, status}};

    Fixture()
    {
        pagers.personalId = QStringLiteral("ATM1");
        pagers.charsPerPage = QStringLiteral("80");
    }
    void defineGroups(const QList<int>& numbers)
    {
        for (const int g : numbers)
            pagers.groups[g - 1].chars = QString::number(10 * g);
    }
    // Recipient and message of a recorded page.
    QStringList sent(int index = 0) const
    {
        const QStringList parts = launcher.startedParts(index);
        return parts.size() == 2 ? parts.at(1).split(QLatin1Char(':')) : QStringList();
    }
};
} // namespace

// The pages of one run of the paging program, "RECIPIENT:message", and its
// report file, as the started program receives them.
struct Run
{
    QStringList pages;
    QString report;
};

Run runOf(const QString& commandLine)
{
    Run run;
    const QStringList parts = ProcessLauncher::splitCommand(commandLine);
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts.at(i) == QLatin1String("--report"))
            run.report = parts.value(++i);
        else
            run.pages
                << QString(parts.at(i)).remove(QRegularExpression(QStringLiteral("^--page=")));
    }
    return run;
}

class TestPager : public QObject
{
    Q_OBJECT
private slots:
    void truncation_data()
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
    void truncation()
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
    void processPageCleaning()
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
        // Each page waits for the run before it to end.
        QVERIFY(launcher.finishLast(0));
        pager.ProcessPage("A\nB", "ATM1", "80");
        QCOMPARE(sentMessage(launcher.commandLines.last()), QStringLiteral("WX:A B"));
        // A tag of two characters or less is not used.
        pager.setTag(QStringLiteral("ab"));
        QVERIFY(launcher.finishLast(0));
        pager.ProcessPage("A\nB", "ATM1", "80");
        QCOMPARE(sentMessage(launcher.commandLines.last()), QStringLiteral("A B"));
    }
    void shortTextIsNotPaged()
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
    void suspendedAlarmPageIsLogged()
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
    void groupAlarmPage()
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
    void messageStaysOneArgument_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("quotes") << "He said \"take cover\" now";
        QTest::newRow("ends in quote") << "\"quoted\"";
        QTest::newRow("runs of quotes") << "a\"\"b\"\"\"c";
        QTest::newRow("shell characters") << "x; rm -rf ~ && $(reboot) `id` | tee > /tmp/f '";
        QTest::newRow("blanks and tabs") << "a  b\tc";
        QTest::newRow("empty") << "";
    }
    void messageStaysOneArgument()
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
    void programPathWithBlank()
    {
        RecordingLauncher launcher;
        Settings settings;
        Pager pager(settings, launcher, QStringLiteral("/opt/pager tools/abcPager"));
        pager.PageIt("hello", "ATM1", "80");
        QCOMPARE(launcher.startedParts(0),
                 QStringList({"/opt/pager tools/abcPager", "ATM1:hello"}));
    }
    void pagerFilesDirectory_data()
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
    void pagerFilesDirectory()
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
    void failureReported_data()
    {
        QTest::addColumn<bool>("found");   // the paging program was found at start
        QTest::addColumn<bool>("alarm");   // an alarm page; else the data-loss page
        QTest::addColumn<int>("exitCode"); // how the paging program ended
        QTest::addColumn<QString>("reason");
        QTest::newRow("alarm page, no abcPager") << false << true << 0 << "abcPager not found";
        QTest::newRow("data-loss page, no abcPager") << false << false << 0 << "abcPager not found";
        QTest::newRow("members that cannot be paged")
            << true << true << 3
            << "pager numbers that cannot be paged were left out (abcPager exit code 3, see "
               "abcPager-log.txt)";
        QTest::newRow("nothing sent")
            << true << false << 1 << "nothing sent (abcPager exit code 1, see abcPager-log.txt)";
    }
    void failureReported()
    {
        QFETCH(bool, found);
        QFETCH(bool, alarm);
        QFETCH(int, exitCode);
        QFETCH(QString, reason);
        TestHome home;
        RecordingLauncher launcher;
        Settings settings;
        FakeClock clock;
        StatusLine status;
        SendFailures failures(status, clock);
        Pager pager(settings, launcher, found ? kPath : QString());
        const QString log = home.file("pager-log.txt");
        pager.setFailures(&failures, log);
        PagerConfig config;
        config.personalId = QStringLiteral("ATM1");
        config.charsPerPage = QStringLiteral("80");
        if (alarm)
            pager.alarmPage("TORNADO WARNING FOR KENT COUNTY", 0, config, log, clock);
        else
            pager.ProcessPage("No data received for over 3 minutes", "ATM1", "80");
        QCOMPARE(launcher.commandLines.size(), found ? 1 : 0);
        if (found)
            QVERIFY(launcher.finishLast(exitCode));
        QCOMPARE(status.text(), "Page FAILED to ATM1 - " + reason);
        QVERIFY2(readBytes(log).endsWith("FAILED page to ATM1 at 12/6/2026 6:27:51 PM - " +
                                         reason.toLatin1() + "\r\n"),
                 readBytes(log).constData());
    }
    void queue_data()
    {
        // Pages A, B, C (to ATM1) are given at once. Each run: the pages it
        // carries, then the result of each (as the paging program reports them).
        QTest::addColumn<QStringList>("runs");
        QTest::addColumn<QStringList>("results");
        QTest::addColumn<QString>("failure"); // the status line at the end
        QTest::newRow("one run at a time, the rest together")
            << QStringList{"A", "B C"} << QStringList{"0", "0 0"} << "";
        QTest::newRow("a page not delivered goes again, first")
            << QStringList{"A", "B C", "C"} << QStringList{"0", "0 2", "0"} << "";
        QTest::newRow("not delivered in three runs: reported")
            << QStringList{"A", "B C", "C", "C"} << QStringList{"0", "0 2", "2", "2"}
            << "Page FAILED to ATM1 - some pages not delivered (abcPager exit code 2, see "
               "abcPager-log.txt); tried 3 times";
        QTest::newRow("nothing sent, numbers left out: not tried again")
            << QStringList{"A", "B C"} << QStringList{"1", "3 0"}
            << "Page FAILED to ATM1 - pager numbers that cannot be paged were left out (abcPager "
               "exit "
               "code 3, see abcPager-log.txt)";
        QTest::newRow("no report: the run's pages go again")
            << QStringList{"A", "B C", "B C"} << QStringList{"0", "", "0 0"} << "";
    }
    void queue()
    {
        QFETCH(QStringList, runs);
        QFETCH(QStringList, results);
        QFETCH(QString, failure);
        RecordingLauncher launcher;
        Settings settings;
        FakeClock clock;
        StatusLine status;
        SendFailures failures(status, clock);
        TestHome home;
        Pager pager(settings, launcher, kPath);
        pager.setFailures(&failures, home.file("pager-log.txt"));
        pager.queue().setRetryWait(0);
        for (const char* page : {"A", "B", "C"})
            pager.PageIt(QLatin1String(page), "ATM1", "80");
        for (int r = 0; r < runs.size(); ++r) {
            // One run at a time: the next starts only when this one has ended.
            QTRY_COMPARE(launcher.commandLines.size(), r + 1);
            const Run run = runOf(launcher.commandLines.at(r));
            QStringList expected = runs.at(r).split(QLatin1Char(' '));
            expected.replaceInStrings(QRegularExpression(QStringLiteral("^")),
                                      QStringLiteral("ATM1:"));
            QCOMPARE(run.pages, expected);
            QCOMPARE(run.report.isEmpty(), expected.size() == 1);
            const QStringList codes = results.at(r).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (!run.report.isEmpty() && !codes.isEmpty()) {
                QFile report(run.report);
                QVERIFY(report.open(QIODevice::WriteOnly));
                for (const QString& code : codes)
                    report.write(code.toLatin1() + " ATM1\n");
            }
            QVERIFY(launcher.finishLast(expected.size() == 1 ? codes.value(0).toInt() : 2));
        }
        QCOMPARE(pager.queue().waiting(), 0);
        QVERIFY(!pager.queue().busy());
        QCOMPARE(launcher.commandLines.size(), runs.size());
        QCOMPARE(status.text(), failure);
    }

    void prepare_data()
    {
        QTest::addColumn<bool>("available");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("compress");
        QTest::addColumn<QString>("message"); // empty: the dialog opens
        QTest::addColumn<QString>("paged");   // the text to page and in the display

        const QString warning =
            QStringLiteral("HEAD\r\n* TORNADO   WARNING\r\n* UNTIL 7 PM\r\n* AT 6 PM\r\n* MORE");
        QTest::newRow("paging program missing")
            << false << warning << "TORGRRMI" << false << "abcPager software not found" << warning;
        QTest::newRow("nothing displayed") << true << ""
                                           << "" << false << "No bulletin displayed"
                                           << "";
        QTest::newRow("product not available") << true << "     --- Product not available ---"
                                               << "X" << false << "No bulletin displayed"
                                               << "     --- Product not available ---";
        QTest::newRow("whole text") << true << warning << "TORGRRMI" << false << "" << warning;
        QTest::newRow("shortened warning replaces the display")
            << true << warning << "TORGRRMI" << true << ""
            << "TORNADO WARNING\r\n  UNTIL 7 PM\r\n: AT 6 PM\r\n";
        QTest::newRow("other categories only abbreviated")
            << true << "THE NATIONAL WEATHER SERVICE * SAYS"
            << "AFDGRRMI" << true << ""
            << "THE NWS * SAYS";
    }
    void prepare()
    {
        QFETCH(bool, available);
        QFETCH(QString, text);
        QFETCH(QString, tag);
        QFETCH(bool, compress);
        QFETCH(QString, message);
        QFETCH(QString, paged);
        Fixture f;
        f.home.write(QStringLiteral("dictionary.txt"), "NATIONAL WEATHER SERVICE,NWS\r\n");
        f.tables.loadDictionary(f.home.file(QStringLiteral("dictionary.txt")));
        if (!available)
            f.pager.setProgramPath(QString());
        f.settings.CompressPagerWarnings = compress ? 1 : 0;
        f.display.setDisplay(text, tag);
        const std::optional<QString> prepared = f.page.prepare();
        QCOMPARE(prepared.has_value(), message.isEmpty());
        if (message.isEmpty()) {
            QCOMPARE(*prepared, paged);
            QVERIFY(f.prompter.messages.isEmpty());
        } else {
            QCOMPARE(f.prompter.messages.size(), 1);
            QCOMPARE(f.prompter.messages[0].text, message);
            const bool missing = !available;
            QCOMPARE(f.prompter.messages[0].title,
                     missing ? QStringLiteral("Vantorel Paging Component") : QString());
            QCOMPARE(f.prompter.messages[0].icon,
                     missing ? IPrompter::Icon::Critical : IPrompter::Icon::Information);
        }
        QCOMPARE(f.display.text(), paged);
        QCOMPARE(f.display.tag(), tag);
    }
    void targets_data()
    {
        QTest::addColumn<QList<int>>("defined");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("no groups") << QList<int>() << QStringList{"Personal"};
        QTest::newRow("groups 1 and 3")
            << QList<int>{1, 3} << QStringList{"Personal", "Group  1", "Group  3"};
        QTest::newRow("group 10") << QList<int>{10} << QStringList{"Personal", "Group  10"};
    }
    void targets()
    {
        QFETCH(QList<int>, defined);
        QFETCH(QStringList, entries);
        Fixture f;
        f.defineGroups(defined);
        QCOMPARE(ManualPage::targets(f.pagers), entries);
    }
    void send_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("suspended");
        QTest::addColumn<QString>("recipient"); // empty: nothing paged
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("status");

        QTest::newRow("personal, CR LF paged as one line")
            << "Personal" << false << "ATM1"
            << "TORNADO WARNING FOR KENT COUNTY UNTIL 7 PM"
            << "";
        QTest::newRow("group 3, cut to its page size") << "Group  3" << false << "!GROUP3"
                                                       << "TORNADO WARNING FOR KENT COUNT"
                                                       << "";
        QTest::newRow("undefined group") << "Group  2" << false << ""
                                         << ""
                                         << "";
        QTest::newRow("suspended: told, nothing paged")
            << "Personal" << true << ""
            << ""
            << "Paging is suspended: page to ATM1 not sent";
    }
    void send()
    {
        QFETCH(QString, entry);
        QFETCH(bool, suspended);
        QFETCH(QString, recipient);
        QFETCH(QString, message);
        QFETCH(QString, status);
        Fixture f;
        f.defineGroups({1, 3});
        f.pager.setSuspended(suspended);
        f.settings.MaxPages = QStringLiteral("1");
        f.page.send(entry,
                    QStringLiteral("TORNADO WARNING\r\nFOR KENT   COUNTY\r\n\r\nUNTIL 7 PM"));
        QCOMPARE(f.launcher.commandLines.size(), recipient.isEmpty() ? 0 : 1);
        if (!recipient.isEmpty()) {
            QCOMPARE(f.sent(), QStringList({recipient, message}));
            QCOMPARE(f.launcher.windows.first(), LaunchWindow::NormalNoFocus);
        }
        QCOMPARE(f.status.text(), status);
    }
};

QTEST_GUILESS_MAIN(TestPager)
#include "tst_pager.moc"
