// The pager: page blocks, page cutting and dial numbers, and end to end, the
// program's page command lines run through the built pager against a
// simulated modem and paging terminal on a pseudo-terminal.
#include "CommandRun.h"
#include "PagingTerminalSimulator.h"
#include "TestSupport.h"
#include "abcPager/AbcPager.h"
#include "abcPager/HayesModem.h"
#include "abcPager/PageSplitter.h"
#include "abcPager/PagerTargets.h"
#include "abcPager/TapProtocol.h"
#include "core/Settings.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "notify/PagerSetup.h"
#include "platform/ProcessLauncher.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>

Q_DECLARE_METATYPE(PagingTerminalSimulator::Script)

namespace {
const QString kPersonalPin = QStringLiteral("5551234");

PagerConfig pagerFiles()
{
    PagerConfig c;
    c.personalId = QStringLiteral("ATM1");
    c.pagerNumber = kPersonalPin;
    c.dialup = QStringLiteral("1 (616) 555-9876");
    c.speed = QStringLiteral("2400");
    c.parity = QStringLiteral("N");
    c.dataBits = QStringLiteral("8");
    c.stopBits = QStringLiteral("1");
    c.charsPerPage = QStringLiteral("80");
    PagerConfig::Group& one = c.groups[0];
    one.dialup = QStringLiteral("5550001");
    one.speed = QStringLiteral("1200");
    one.parity = QStringLiteral("E");
    one.dataBits = QStringLiteral("7");
    one.stopBits = QStringLiteral("1");
    one.chars = QStringLiteral("40");
    one.members[0] = QStringLiteral("1001");
    one.members[3] = QStringLiteral("1004");
    return c;
}

// A private program directory with the pager files the setup dialogs write.
struct PagerHome
{
    explicit PagerHome(const QString& port, int tries = 2)
    {
        QDir().mkpath(dir);
        config.saveUsers(dir);
        config.saveGroups(dir);
        home.write(QStringLiteral(".local/share/vantorel/abcPager.ini"),
                   QStringLiteral("# test modem\nPort=%1\nTries=%2\nRetryWait=0\nReplyTimeout=1\n"
                                  "ConnectTimeout=2\nGuardMs=50\n")
                       .arg(port)
                       .arg(tries)
                       .toUtf8());
    }
    QString log() const { return QString::fromUtf8(readBytes(dir + "abcPager-log.txt")); }

    TestHome home;
    QString dir = home.path() + QStringLiteral("/.local/share/vantorel/");
    PagerConfig config = pagerFiles();
    RecordingLauncher launcher;
    Settings settings;
    Pager pager{settings, launcher, QStringLiteral(ABCPAGER_EXECUTABLE)};
    FakeClock clock;
};

// The pages one pager number received, in order.
QStringList textsFor(const QStringList& pages, const QString& pin)
{
    QStringList texts;
    for (const QString& page : pages) {
        if (page.startsWith(pin + QLatin1Char(':')))
            texts << page.mid(pin.size() + 1);
    }
    return texts;
}
} // namespace

class TestAbcPager : public QObject
{
    Q_OBJECT
private slots:
    void deliver_data()
    {
        QTest::addColumn<int>("aMethod");
        QTest::addColumn<QString>("text");
        QTest::addColumn<PagingTerminalSimulator::Script>("script");
        QTest::addColumn<int>("tries");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("pagesPerPin");
        QTest::addColumn<QStringList>("logLines");
        QTest::addColumn<QString>("badPin"); // a group member that cannot be paged

        const QString warning =
            QStringLiteral("TORNADO WARNING\r\nNATIONAL WEATHER SERVICE GRAND RAPIDS MI\r\n"
                           "* TORNADO WARNING FOR... NORTHWESTERN KENT COUNTY IN WEST MICHIGAN... "
                           "* UNTIL 715 PM EDT * AT 627 PM EDT... A SEVERE THUNDERSTORM CAPABLE OF "
                           "PRODUCING A TORNADO WAS LOCATED NEAR SPARTA.");
        const QString shortText = QStringLiteral("TORNADO WARNING KENT COUNTY UNTIL 715 PM");
        PagingTerminalSimulator::Script normal;
        QTest::newRow("personal pager, one page")
            << 0 << shortText << normal << 2 << 0 << 1
            << QStringList{"Delivered page 1/1 to 5551234", "1 of 1 page(s) delivered"}
            << QString();
        QTest::newRow("personal pager, warning in pages of 80")
            << 0 << warning << normal << 2 << 0 << 4
            << QStringList{"4 page(s) of up to 80 characters to 5551234 via 1 (616) 555-9876",
                           "2400 8N1", "Delivered page 4/4 to 5551234"}
            << QString();
        QTest::newRow("group, pages of 40 to each member")
            << 1 << warning << normal << 2 << 0 << 6
            << QStringList{"Paging !GROUP1: 6 page(s) of up to 40 characters to 1001,1004",
                           "1200 7E1", "did not take 7 data bits", "Delivered page 6/6 to 1004",
                           "12 of 12 page(s) delivered"}
            << QString();
        PagingTerminalSimulator::Script garbled;
        garbled.nakBlocks = 2;
        QTest::newRow("NAK twice, then taken")
            << 0 << shortText << garbled << 2 << 0 << 1
            << QStringList{"Delivered page 1/1 to 5551234"} << QString();
        PagingTerminalSimulator::Script busy;
        busy.busyCalls = 1;
        QTest::newRow("busy, then a second call")
            << 0 << shortText << busy << 2 << 0 << 1
            << QStringList{"Try 1 of 2 failed: the modem answered BUSY",
                           "Delivered page 1/1 to 5551234"}
            << QString();
        PagingTerminalSimulator::Script refusing;
        refusing.refusePins = QStringList{"1004"};
        QTest::newRow("terminal refuses one member")
            << 1 << shortText << refusing << 2 << 2 << 1
            << QStringList{"REFUSED page 1/1 to 1004", "Delivered page 1/1 to 1001",
                           "1 of 2 page(s) delivered"}
            << QString();
        PagingTerminalSimulator::Script dead;
        dead.modemAnswers = false;
        QTest::newRow("modem never answers")
            << 0 << shortText << dead << 1 << 2 << 0
            << QStringList{"Try 1 of 1 failed: no answer from the modem (AT)",
                           "NOT DELIVERED page 1/1 to 5551234 after 1 tries"}
            << QString();
        QTest::newRow("group member that cannot be paged")
            << 1 << shortText << normal << 2 << 3 << 1
            << QStringList{"Pager numbers of !GROUP1 that cannot be paged, left out: \"555-1234\"",
                           "Delivered page 1/1 to 1004", "2 of 3 page(s) delivered"}
            << "555-1234";
        PagingTerminalSimulator::Script silentLine;
        silentLine.dialResult = QByteArray();
        QTest::newRow("no connection")
            << 0 << shortText << silentLine << 1 << 2 << 0
            << QStringList{"no connection within 2 s", "NOT DELIVERED"} << QString();
        PagingTerminalSimulator::Script mute;
        mute.terminalPrompts = false;
        QTest::newRow("terminal never prompts")
            << 0 << shortText << mute << 1 << 2 << 0
            << QStringList{"the paging terminal sent no ID= prompt", "NOT DELIVERED"} << QString();
    }
    void deliver()
    {
        QFETCH(int, aMethod);
        QFETCH(QString, text);
        QFETCH(PagingTerminalSimulator::Script, script);
        QFETCH(int, tries);
        QFETCH(int, exitCode);
        QFETCH(int, pagesPerPin);
        QFETCH(QStringList, logLines);
        QFETCH(QString, badPin);

        PagingTerminalSimulator terminal(script);
        QVERIFY(!terminal.slavePath().isEmpty());
        PagerHome paging(terminal.slavePath(), tries);
        if (!badPin.isEmpty()) {
            paging.config.groups[0].members[6] = badPin;
            paging.config.saveGroups(paging.dir);
        }
        // The program's alarm page: its own log line, then the command line.
        paging.pager.alarmPage(text, aMethod, paging.config, paging.dir + "pager-log.txt",
                               paging.clock);
        QCOMPARE(paging.launcher.commandLines.size(), 1);
        QVERIFY(readBytes(paging.dir + "pager-log.txt").startsWith("ALARM to "));
        const CommandRun run = runLine(paging.launcher.commandLines.first(), paging.dir);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.elapsedMs < 25000, qPrintable(QString::number(run.elapsedMs)));
        for (const QString& line : logLines)
            QVERIFY2(paging.log().contains(line), qPrintable(paging.log()));

        const PagingTerminalSimulator::Record record = terminal.record();
        QCOMPARE(record.badBlocks, 0);
        QCOMPARE(record.naks, script.nakBlocks);
        // What the program sent (cleaned, cut to characters x MaxPages), as pages.
        const int size = aMethod == 0 ? 80 : 40;
        const QString sent =
            paging.pager.pageText(paging.pager.cleanText(text), QString::number(size)).simplified();
        const QStringList pins =
            aMethod == 0 ? QStringList{kPersonalPin} : QStringList{"1001", "1004"};
        for (const QString& pin : pins) {
            if (script.refusePins.contains(pin))
                continue;
            const QStringList texts = textsFor(record.pages, pin);
            QCOMPARE(texts.size(), pagesPerPin);
            for (const QString& t : texts)
                QVERIFY(t.size() <= size);
            if (pagesPerPin > 0)
                QCOMPARE(texts.join(QLatin1Char(' ')), sent);
        }
        if (exitCode == 0) {
            QCOMPARE(record.dialled.last(),
                     aMethod == 0 ? QStringLiteral("16165559876") : QStringLiteral("5550001"));
            QCOMPARE(record.logoffs, record.logons);
        }
    }
    void refused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("withFiles");
        QTest::addColumn<QString>("logLine");

        QTest::newRow("unknown recipient")
            << QStringList{"NOBODY:text"} << true << "unknown recipient \"NOBODY\"";
        QTest::newRow("group without characters per page")
            << QStringList{"!GROUP2:text"} << true << "group 2 is not defined";
        QTest::newRow("group out of range")
            << QStringList{"!GROUP11:text"} << true << "there is no group 11";
        QTest::newRow("nothing but control characters")
            << QStringList{"ATM1:\x03\x1e\r\n"} << true << "empty message";
        QTest::newRow("no pager files")
            << QStringList{"ATM1:text"} << false << "no users.ini or groups.ini";
        QTest::newRow("no recipient")
            << QStringList{"just text"} << true << "expected RECIPIENT:message";
        QTest::newRow("unknown option")
            << QStringList{"--baud", "9600", "ATM1:x"} << true << "Command line refused";
        QTest::newRow("recipient beginning with a dash is not an option")
            << QStringList{"-v:text"} << true << "unknown recipient \"-v\"";
    }
    void refused()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, withFiles);
        QFETCH(QString, logLine);
        PagingTerminalSimulator terminal({});
        PagerHome paging(terminal.slavePath());
        if (!withFiles) {
            QFile::remove(paging.dir + "users.ini");
            QFile::remove(paging.dir + "groups.ini");
        }
        QProcess process;
        process.start(QStringLiteral(ABCPAGER_EXECUTABLE), args);
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY2(paging.log().contains(logLine), qPrintable(paging.log()));
        QCOMPARE(terminal.record().calls, 0);
    }
    void pagesTakeTurnsAtTheModem()
    {
        PagingTerminalSimulator terminal({});
        PagerHome paging(terminal.slavePath());
        // Two pagers at once (the program starts one at a time, but a pager
        // started by hand or by another program may run beside it).
        paging.pager.alarmPage(QStringLiteral("FIRST ALARM"), 0, paging.config,
                               paging.dir + "pager-log.txt", paging.clock);
        QVERIFY(paging.launcher.finishLast(0));
        paging.pager.alarmPage(QStringLiteral("SECOND ALARM"), 1, paging.config,
                               paging.dir + "pager-log.txt", paging.clock);
        // The port is busy while both start, however slowly they come up: each
        // must wait its turn, then both pages go out.
        QLockFile busy(AbcPager::portLockPath(terminal.slavePath()));
        QVERIFY(busy.tryLock(0));
        QList<std::shared_ptr<QProcess>> processes;
        for (const QString& line : paging.launcher.commandLines) {
            QStringList parts = ProcessLauncher(paging.dir).resolve(line);
            auto process = std::make_shared<QProcess>();
            process->start(parts.takeFirst(), parts);
            processes << process;
        }
        QTRY_VERIFY_WITH_TIMEOUT(paging.log().count("another page is going out") == 2, 30000);
        busy.unlock();
        for (const auto& process : processes) {
            QVERIFY(process->waitForFinished(30000));
            QCOMPARE(process->exitCode(), 0);
        }
        const QStringList pages = terminal.record().pages;
        QCOMPARE(textsFor(pages, kPersonalPin), QStringList{"FIRST ALARM"});
        QCOMPARE(textsFor(pages, "1004"), QStringList{"SECOND ALARM"});
        QCOMPARE(terminal.record().calls, 2);
    }
    // The program's queue hands several pages to one run: they go out in the
    // order given, those to the same paging service in one call, and the report
    // tells the result of each.
    void severalPagesInOneRun()
    {
        PagingTerminalSimulator terminal({});
        PagerHome paging(terminal.slavePath());
        const QString report = paging.dir + "report.txt";
        QProcess process;
        process.start(QStringLiteral(ABCPAGER_EXECUTABLE),
                      {"ATM1:FIRST", "--page=ATM1:SECOND", "--page=NOBODY:LOST",
                       "--page=!GROUP1:THIRD", "--page=ATM1:FOURTH", "--report", report});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 1); // the unknown recipient got nothing
        QCOMPARE(readBytes(report), QByteArray("0 ATM1\n0 ATM1\n1 NOBODY\n0 !GROUP1\n0 ATM1\n"));
        const PagingTerminalSimulator::Record record = terminal.record();
        QCOMPARE(record.pages, QStringList({"5551234:FIRST", "5551234:SECOND", "1001:THIRD",
                                            "1004:THIRD", "5551234:FOURTH"}));
        QCOMPARE(record.calls, 3);
        QCOMPARE(record.logoffs, 3);
    }
    void helpVersionAndDryRun()
    {
        PagingTerminalSimulator terminal({});
        PagerHome paging(terminal.slavePath());
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
            const CommandRun run =
                runLine(QStringLiteral(ABCPAGER_EXECUTABLE " ") + option, paging.dir);
            QCOMPARE(run.exitCode, 0);
            QVERIFY(run.out.contains(option == "--help" ? "RECIPIENT:message" : VANTOREL_VERSION));
        }
        const CommandRun dry = runLine(QStringLiteral(ABCPAGER_EXECUTABLE " --dry-run \"!GROUP1:") +
                                           QString(50, QLatin1Char('x')) + QLatin1Char('"'),
                                       paging.dir);
        QCOMPARE(dry.exitCode, 0);
        QCOMPARE(dry.out, QByteArray("1001 1/2: ") + QByteArray(40, 'x') + "\n1001 2/2: " +
                              QByteArray(10, 'x') + "\n1004 1/2: " + QByteArray(40, 'x') +
                              "\n1004 2/2: " + QByteArray(10, 'x') + "\n");
        // Neither touched the modem nor wrote a log.
        QCOMPARE(terminal.record().calls, 0);
        QVERIFY(!QFile::exists(paging.dir + "abcPager-log.txt"));
    }
    // The group dialog refuses exactly the PINs the pager would leave out.
    void pinRuleAsTheGroupDialog_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<bool>("usable");
        QTest::newRow("digits") << "5551234" << true;
        QTest::newRow("letters and digits") << "ATM1" << true;
        QTest::newRow("16 characters") << QString(16, QLatin1Char('7')) << true;
        QTest::newRow("17 characters") << QString(17, QLatin1Char('7')) << false;
        QTest::newRow("dash") << "555-1234" << false;
        QTest::newRow("blank") << "555 1234" << false;
        QTest::newRow("control character") << "55\r5" << false;
        QTest::newRow("final line feed") << "5551234\n" << false;
        QTest::newRow("Arabic-Indic digits") << "\u0665\u0665" << false;
    }
    void pinRuleAsTheGroupDialog()
    {
        QFETCH(QString, pin);
        QFETCH(bool, usable);
        QCOMPARE(PagerTargets::usablePin(pin), usable);
        QCOMPARE(PagerSetup::pinUsable(pin), usable);
    }
    // The page picker offers exactly the groups the pager will page.
    void groupsDefinedAlike_data()
    {
        QTest::addColumn<QString>("chars");
        QTest::addColumn<bool>("defined");
        QTest::newRow("number") << "40" << true;
        QTest::newRow("number with blanks") << " 40 " << true;
        QTest::newRow("blanks only") << "   " << false;
        QTest::newRow("empty") << "" << false;
    }
    void groupsDefinedAlike()
    {
        QFETCH(QString, chars);
        QFETCH(bool, defined);
        TestHome home;
        PagerConfig written = pagerFiles();
        written.groups[1] = written.groups[0];
        written.groups[1].chars = chars;
        written.saveGroups(home.path());
        const PagerConfig read = PagerConfig::load(home.path());
        QCOMPARE(read.definedGroups().contains(2), defined);
        PagerTargets targets;
        QString error;
        QVERIFY(targets.load(home.path(), &error));
        QCOMPARE(targets.resolve(QStringLiteral("!GROUP2"), &error).has_value(), defined);
    }

    void block_data()
    {
        QTest::addColumn<QByteArray>("pin");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QByteArray>("block");

        QTest::newRow("the protocol's own example") << QByteArray("123") << QByteArray("ABC")
                                                    << QByteArray("\x02"
                                                                  "123\rABC\r\x03"
                                                                  "17;\r");
        QTest::newRow("sum past 12 bits, nibble above 9")
            << QByteArray("5551234") << QByteArray(240, 'z')
            << QByteArray("\x02"
                          "5551234\r") +
                   QByteArray(240, 'z') +
                   "\r\x03"
                   "3>8\r";
        QTest::newRow("empty message") << QByteArray("1") << QByteArray()
                                       << QByteArray("\x02"
                                                     "1\r\r\x03"
                                                     "050\r");
    }
    void block()
    {
        QFETCH(QByteArray, pin);
        QFETCH(QByteArray, message);
        QFETCH(QByteArray, block);
        QCOMPARE(TapProtocol::block(pin, message), block);
    }
    void split_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<QByteArray>>("pages");

        QTest::newRow("fits") << QByteArray("TORNADO WARNING") << 80
                              << QList<QByteArray>{"TORNADO WARNING"};
        QTest::newRow("blank right at the size")
            << QByteArray("aaaa bbbb") << 4 << QList<QByteArray>{"aaaa", "bbbb"};
        QTest::newRow("cut at the last blank") << QByteArray("one two three four") << 9
                                               << QList<QByteArray>{"one two", "three", "four"};
        QTest::newRow("no blank in the second half")
            << QByteArray("abcdefghij klm") << 8 << QList<QByteArray>{"abcdefgh", "ij klm"};
        QTest::newRow("no size") << QByteArray("text") << 0 << QList<QByteArray>{};
    }
    void split()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        QFETCH(QList<QByteArray>, pages);
        QCOMPARE(PageSplitter::split(text, size), pages);
    }
    void printable_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("page");

        QTest::newRow("line ends and tabs") << "A\r\nB\tC" << QByteArray("A B C");
        QTest::newRow("end-of-text and record separators") << "\x03 TOR \x1e" << QByteArray("TOR");
        QTest::newRow("8-bit and wide characters")
            << QString::fromUtf8("Caf\xc3\xa9 45\xc2\xb0 \xf0\x9f\x98\x80!")
            << QByteArray("Caf? 45? ?!");
        QTest::newRow("delete and escape") << "x\x7fy\x1b[p" << QByteArray("x y [p");
    }
    void printable()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, page);
        QCOMPARE(PageSplitter::printable(text), page);
    }
    void pageSize_data()
    {
        QTest::addColumn<QString>("chars");
        QTest::addColumn<int>("pinLength");
        QTest::addColumn<int>("size");

        QTest::newRow("as configured") << "80" << 7 << 80;
        QTest::newRow("empty") << "" << 7 << 80;
        QTest::newRow("not a number") << "eighty" << 7 << 80;
        QTest::newRow("negative") << "-5" << 7 << 80;
        QTest::newRow("more than a block carries") << "500" << 7 << 241;
    }
    void pageSize()
    {
        QFETCH(QString, chars);
        QFETCH(int, pinLength);
        QFETCH(int, size);
        QCOMPARE(PageSplitter::pageSize(chars, pinLength), size);
        // A page of that size with the longest pager number fits one block.
        QVERIFY(TapProtocol::block(QByteArray(pinLength, '9'), QByteArray(size, 'x')).size() <=
                256);
    }
    void dialNumber_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("dialled");

        QTest::newRow("punctuation dropped") << "1 (616) 555-9876"
                                             << "16165559876";
        QTest::newRow("pause and outside line") << "9,W5551234"
                                                << "9,W5551234";
        QTest::newRow("command injection") << "555;H0"
                                           << "";
        QTest::newRow("line end and escape") << "555\r+++ATH"
                                             << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void dialNumber()
    {
        QFETCH(QString, number);
        QFETCH(QString, dialled);
        QCOMPARE(HayesModem::dialNumber(number), dialled);
    }
};

QTEST_GUILESS_MAIN(TestAbcPager)
#include "tst_abcpager.moc"
