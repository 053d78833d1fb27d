// Mail and pages as the running program sends them: bulletin mail, the
// alarm component's mail and page events and the watchdog's data-loss notice
// go through the real process runner to the built mailer and pager, which
// deliver to a local SMTP server and to a simulated modem and paging terminal
// on a pseudo-terminal. Failures come back to the status line and send logs.
#include "../alarms/FiledProductOf.h"
#include "../tools/abcPager/PagingTerminalSimulator.h"
#include "../tools/blat/SmtpSink.h"
#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "app/AlarmNotifications.h"
#include "app/DataLossNotices.h"
#include "app/ShutdownSequence.h"
#include "core/AlarmDefinition.h"
#include "ingest/DataWatchdog.h"
#include "ingest/EngineControl.h"
#include "notify/EmailBook.h"
#include "notify/Emailer.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "notify/SendFailures.h"
#include "platform/ProcessRunner.h"
#include "platform/SettingsStore.h"
#include "platform/TextPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>

Q_DECLARE_METATYPE(PagingTerminalSimulator::Script)

namespace {
const QString kProductKey = QStringLiteral("TORDMX   ~KDMX~IA");
const QString kPersonalPin = QStringLiteral("5551234");

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return false; }
};

// The main window as shutdown sees it: nothing to do.
class QuietHost : public IShutdownHost
{
public:
    std::optional<std::pair<double, double>> windowSizeTwips() const override { return {}; }
    void processEvents() override {}
    void hideTrayIcon() override {}
    void closeDialogs() override {}
};

int freePort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

// The program's mail and paging services over a private home, the program
// directory holding the built mailer and pager as an installed program finds
// them.
struct Program
{
    Program()
    {
        QDir().mkpath(programDir);
        QDir().mkpath(settings.TextPath);
        QFile::link(QStringLiteral(BLAT_EXECUTABLE), programDir + "blat");
        QFile::link(QStringLiteral(ABCPAGER_EXECUTABLE), programDir + "abcPager");
        QFile::copy(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT")),
                    settings.TextPath + kProductKey);
        settings.EMail0 = QStringLiteral("me@x.org");
        book.loadUsers(home.write(QStringLiteral(".local/share/vantorel/email-users.txt"),
                                  "Spotters*sp1@x.org;sp2@x.org\r\n"),
                       settings.EMail0);
        mail.setFailures(&failures);
        pager.setFailures(&failures, programDir + "pager-log.txt");
        pager.queue().setRetryWait(50);
        watchdog.setStationName([] { return QStringLiteral("WXDESK"); });
        watchdog.setLastDataTime([this] { return clock.current.addSecs(-600); });
    }

    // Lets the event loop run until every started program has ended and
    // been reported, and no page waits to go out.
    bool waitIdle(int ms = 60000)
    {
        if (!QTest::qWaitFor(
                [this] { return runner.running() == 0 && pager.queue().waiting() == 0; }, ms))
            return false;
        QCoreApplication::processEvents();
        return true;
    }
    // An alarm definition that mails (EMail >= 0) and pages (pager >= 0)
    // the tornado warning.
    void alarm(qint16 email, qint16 pagerChoice)
    {
        AlarmDefinition definition;
        definition.email = email;
        definition.pager = pagerChoice;
        getalarm.CheckAlarm(filedProductOf(settings, kProductKey, QStringLiteral("TORDMX")),
                            definition, 1);
    }
    QString sendLog(const char* name) const
    {
        return QString::fromLatin1(readBytes(programDir + QLatin1String(name)));
    }

    TestHome home;
    QString programDir = home.path() + QStringLiteral("/.local/share/vantorel/");
    Settings settings;
    const bool settingsSet = [this] {
        Settings& s = settings;
        s.TextPath = home.path() + QStringLiteral("/text/");
        s.InactivityDelay = 1;
        s.AlertEmail = 1;
        return true;
    }();
    ReferenceTables tables;
    MenuDefinitions menus;
    StatusLine status;
    DisplayState display;
    ScriptedPrompter prompter;
    FakeClock clock;
    RecordingLauncher launcher;
    FakeWindowControl windows;
    NoPrinter printer;

    ProcessRunner runner{programDir};
    SendFailures failures{status, clock};
    EmailBook book;
    MailSender mail{programDir, runner};
    Pager pager{settings, runner, programDir + QStringLiteral("abcPager")};
    PagerConfig pagers;
    Emailer emailer{
        Emailer::Context{settings, menus, tables, book, display, status, prompter, clock, mail}};
    AlarmComponent getalarm{programDir, tables, clock, printer};
    AlarmNotifications notifications{
        getalarm, emailer, pager, pagers, programDir + QStringLiteral("pager-log.txt"), clock};
    DataLossNotices notices{settings, pagers, mail, pager};
    EngineControl engine{programDir, launcher, windows, status};
    DataWatchdog watchdog{clock, status, settings, notices, engine};
};

// The pager files the setup dialogs write, and the modem on the simulator.
void preparePaging(Program& p, const QString& port)
{
    p.pagers.personalId = QStringLiteral("ATM1");
    p.pagers.pagerNumber = kPersonalPin;
    p.pagers.dialup = QStringLiteral("5559876");
    p.pagers.speed = QStringLiteral("2400");
    p.pagers.parity = QStringLiteral("N");
    p.pagers.dataBits = QStringLiteral("8");
    p.pagers.stopBits = QStringLiteral("1");
    p.pagers.charsPerPage = QStringLiteral("80");
    PagerConfig::Group& one = p.pagers.groups[0];
    one.dialup = QStringLiteral("5550001");
    one.speed = QStringLiteral("2400");
    one.parity = QStringLiteral("N");
    one.dataBits = QStringLiteral("8");
    one.stopBits = QStringLiteral("1");
    one.chars = QStringLiteral("40");
    one.members[0] = QStringLiteral("1001");
    one.members[3] = QStringLiteral("1004");
    p.pagers.saveUsers(p.programDir);
    p.pagers.saveGroups(p.programDir);
    p.home.write(QStringLiteral(".local/share/vantorel/abcPager.ini"),
                 QStringLiteral("Port=%1\nTries=1\nRetryWait=0\nReplyTimeout=1\n"
                                "ConnectTimeout=2\nGuardMs=50\n")
                     .arg(port)
                     .toUtf8());
}

QStringList pagesFor(const QStringList& pages, const QString& pin)
{
    QStringList texts;
    for (const QString& page : pages) {
        if (page.startsWith(pin + QLatin1Char(':')))
            texts << page.mid(pin.size() + 1);
    }
    return texts;
}

QByteArray headerOf(const QByteArray& message, const QByteArray& name)
{
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n")).split('\n')) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    }
    return QByteArray();
}

QStringList recipientsOf(const SmtpSink::Message& message)
{
    QStringList list;
    for (const QJsonValue& value : message.envelope.value(QStringLiteral("rcpt_tos")).toArray())
        list << value.toString();
    return list;
}
} // namespace

class TestNotifications : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(QStringLiteral(BLAT_EXECUTABLE)));
        QVERIFY(QFile::exists(QStringLiteral(ABCPAGER_EXECUTABLE)));
        m_cert = makeCertificate(m_tls);
        QVERIFY2(QFile::exists(m_cert), "openssl could not make a test certificate");
    }
    void mail_data()
    {
        QTest::addColumn<QStringList>("sinkArgs");
        QTest::addColumn<QString>("options"); // blat-output.txt; %PORT, %CERT filled in
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<bool>("tls");
        QTest::addColumn<QString>("login");

        const QString plain = QStringLiteral("-port %PORT -retrywait 0");
        QTest::newRow("local server") << QStringList() << plain << true << false << "";
        QTest::newRow("STARTTLS and login")
            << QStringList{"--cert", "%CERT", "--key", "%KEY", "--auth", "wx:s3cret"}
            << plain + " -u wx -pw s3cret -cacert %CERT" << true << true << "wx";
        QTest::newRow("server down")
            << QStringList() << plain + " -try 1 -timeout 5" << false << false << "";
    }
    void mail()
    {
        QFETCH(QStringList, sinkArgs);
        QFETCH(QString, options);
        QFETCH(bool, serverUp);
        QFETCH(bool, tls);
        QFETCH(QString, login);

        sinkArgs.replaceInStrings(QStringLiteral("%CERT"), m_cert);
        sinkArgs.replaceInStrings(QStringLiteral("%KEY"),
                                  m_tls.filePath(QStringLiteral("key.pem")));
        std::unique_ptr<SmtpSink> sink;
        if (serverUp) {
            sink = std::make_unique<SmtpSink>(sinkArgs);
            QVERIFY(sink->port > 0);
        }
        Program p;
        p.mail.install(QStringLiteral("127.0.0.1"), QStringLiteral("wx@example.org"));
        QVERIFY(p.waitIdle());
        p.mail.setOptions(options
                              .replace(QStringLiteral("%PORT"),
                                       QString::number(serverUp ? sink->port : freePort()))
                              .replace(QStringLiteral("%CERT"), m_cert));

        // Bulletin mail to the own address and a group, alarm mail (definition
        // with E-mail 0: the own address), the watchdog's data-loss notice.
        QElapsedTimer handed;
        handed.start();
        p.display.setDisplay(QStringLiteral("ZONE FORECAST\r\nKENT-OTTAWA\r\n"),
                             QStringLiteral("ZFPGRRMI"));
        p.emailer.mailShownBulletin(
            [&p] { return p.book.address(0) + ',' + p.book.address(1) + ','; });
        p.alarm(0, -1);
        p.watchdog.tick();
        // The window thread never waits for the mailer.
        QVERIFY2(handed.elapsed() < 2000, qPrintable(QString::number(handed.elapsed())));
        QVERIFY(p.waitIdle());

        const QString log = p.sendLog("email-log.txt");
        QVERIFY2(
            log.startsWith("Emailing ZFPGRRMI to me@x.org,sp1@x.org,sp2@x.org at 12/6/2026 "
                           "6:27:51 PM\r\nALARM TORDMX to me@x.org at 12/6/2026 6:27:51 PM\r\n"),
            qPrintable(log));
        if (!serverUp) {
            // Each mail that did not go out is reported, and the program went on.
            const QString reason =
                QStringLiteral(" - not sent (blat exit code 1, see blat-log.txt)\r\n");
            QCOMPARE(log.count(QStringLiteral("FAILED ")), 3);
            QVERIFY(log.contains("FAILED ZFPGRRMI to me@x.org,sp1@x.org,sp2@x.org at 12/6/2026 "
                                 "6:27:51 PM" +
                                 reason));
            QVERIFY(log.contains("FAILED TORDMX to me@x.org at 12/6/2026 6:27:51 PM" + reason));
            QVERIFY(log.contains("FAILED Vantorel Data Loss to me@x.org at 12/6/2026 6:27:51 PM" +
                                 reason));
            QVERIFY2(p.status.text().startsWith(QStringLiteral("E-mail FAILED: ")),
                     qPrintable(p.status.text()));
            return;
        }
        QCOMPARE(log.count(QStringLiteral("\r\n")), 2); // the data-loss notice is not logged
        QList<SmtpSink::Message> messages = sink->messages();
        QCOMPARE(messages.size(), 3);
        std::sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) {
            return headerOf(a.data, "Subject") < headerOf(b.data, "Subject");
        });
        QCOMPARE(headerOf(messages[0].data, "Subject"), QByteArray("TORDMX"));
        QCOMPARE(recipientsOf(messages[0]), QStringList({"me@x.org"}));
        QVERIFY(messages[0].data.contains("TORNADO WARNING FOR...\r\n  EASTERN LUCAS COUNTY"));
        QCOMPARE(headerOf(messages[1].data, "Subject"), QByteArray("Vantorel Data Loss"));
        QCOMPARE(recipientsOf(messages[1]), QStringList({"me@x.org"}));
        QVERIFY(messages[1].data.contains(
            "No data received from Vantorel for over 1 minutes on WXDESK."));
        QCOMPARE(headerOf(messages[2].data, "Subject"), QByteArray("ZFPGRRMI"));
        QCOMPARE(recipientsOf(messages[2]), QStringList({"me@x.org", "sp1@x.org", "sp2@x.org"}));
        // Each mail has its own body, although bulletin and notice share output.txt.
        QVERIFY(messages[2].data.endsWith("\r\n\r\nZONE FORECAST\r\nKENT-OTTAWA\r\n\r\n"));
        for (const SmtpSink::Message& message : messages) {
            QCOMPARE(message.envelope.value(QStringLiteral("mail_from")).toString(),
                     QStringLiteral("wx@example.org"));
            QCOMPARE(message.envelope.value(QStringLiteral("tls")).toBool(), tls);
            QCOMPARE(message.envelope.value(QStringLiteral("login")).toString(), login);
        }
        QVERIFY(!p.status.text().contains(QStringLiteral("FAILED")));
    }
    void page_data()
    {
        QTest::addColumn<int>("aMethod");
        QTest::addColumn<bool>("suspended");
        QTest::addColumn<PagingTerminalSimulator::Script>("script");
        QTest::addColumn<QStringList>("pins");
        QTest::addColumn<int>("chars");       // per page
        QTest::addColumn<QString>("failure"); // status line; empty: delivered

        PagingTerminalSimulator::Script normal;
        QTest::newRow("personal pager")
            << 0 << false << normal << QStringList{kPersonalPin} << 80 << "";
        QTest::newRow("group of two")
            << 1 << false << normal << QStringList{"1001", "1004"} << 40 << "";
        QTest::newRow("suspended: logged, not paged")
            << 0 << true << normal << QStringList() << 80 << "";
        PagingTerminalSimulator::Script dead;
        dead.modemAnswers = false;
        QTest::newRow("modem dead")
            << 0 << false << dead << QStringList() << 80
            << "Page FAILED to ATM1 - some pages not delivered (abcPager exit code 2, see "
               "abcPager-log.txt); tried 3 times";
    }
    void page()
    {
        QFETCH(int, aMethod);
        QFETCH(bool, suspended);
        QFETCH(PagingTerminalSimulator::Script, script);
        QFETCH(QStringList, pins);
        QFETCH(int, chars);
        QFETCH(QString, failure);

        PagingTerminalSimulator terminal(script);
        QVERIFY(!terminal.slavePath().isEmpty());
        Program p;
        preparePaging(p, terminal.slavePath());
        p.pager.setSuspended(suspended);
        p.alarm(-1, static_cast<qint16>(aMethod));
        QVERIFY(p.waitIdle());

        const QString recipient = aMethod == 0 ? QStringLiteral("ATM1") : QStringLiteral("!GROUP1");
        const QString log = p.sendLog("pager-log.txt");
        // One line, the start of the text with its line ends as blanks.
        QVERIFY2(log.startsWith("ALARM to " + recipient +
                                " at 12/6/2026 6:27:51 PM - 574   WFUS53 KDMX 07\r\n"),
                 qPrintable(log));
        const PagingTerminalSimulator::Record record = terminal.record();
        QCOMPARE(record.badBlocks, 0); // every checksum right
        if (!failure.isEmpty()) {
            QCOMPARE(p.status.text(), failure);
            QVERIFY(log.contains("FAILED page to ATM1 at 12/6/2026 6:27:51 PM - "));
            return;
        }
        QCOMPARE(log.count(QStringLiteral("\r\n")), 1);
        QCOMPARE(record.calls, pins.isEmpty() ? 0 : 1);
        for (const QString& pin : pins) {
            const QStringList pages = pagesFor(record.pages, pin);
            // The page text is cut to characters per page x MaxPages (5), then
            // split into pages of the configured size.
            QVERIFY2(pages.size() >= 5 && pages.size() <= 7, qPrintable(pages.join('|')));
            int total = 0;
            for (const QString& page : pages) {
                QVERIFY2(page.size() <= chars, qPrintable(page));
                total += static_cast<int>(page.size());
            }
            QVERIFY2(total <= 5 * chars && total > 4 * chars, qPrintable(QString::number(total)));
            QVERIFY2(pages.first().startsWith(QStringLiteral("574 WFUS53 KDMX")),
                     qPrintable(pages.first()));
        }
    }
    // An outbreak: twenty alarm pages in quick succession all reach the paging
    // terminal, in the order they were raised, in few calls.
    void outbreakPagesInOrder()
    {
        constexpr int kPages = 20;
        PagingTerminalSimulator terminal({});
        QVERIFY(!terminal.slavePath().isEmpty());
        Program p;
        preparePaging(p, terminal.slavePath());
        QElapsedTimer timer;
        timer.start();
        QStringList sent;
        for (int i = 1; i <= kPages; ++i) {
            sent << QStringLiteral("TORNADO WARNING %1 FOR KENT COUNTY").arg(i, 2, 10, QChar('0'));
            p.pager.alarmPage(sent.last(), 0, p.pagers, p.programDir + "pager-log.txt", p.clock);
        }
        QVERIFY(p.waitIdle(120000));
        const PagingTerminalSimulator::Record record = terminal.record();
        qInfo("%d alarm pages: %d delivered in %d call(s), %lld ms", kPages,
              static_cast<int>(record.pages.size()), record.calls, timer.elapsed());
        QCOMPARE(pagesFor(record.pages, kPersonalPin), sent);
        QVERIFY2(record.calls <= 3, qPrintable(QString::number(record.calls)));
        QVERIFY2(!p.sendLog("pager-log.txt").contains("FAILED"),
                 qPrintable(p.sendLog("pager-log.txt")));
    }
    // The program closes while a mailer runs and another mail waits for the same
    // body file: the running mailer keeps its body, the waiting mail is held and
    // goes out at the next start.
    void heldMailGoesOutAtNextStart()
    {
        SmtpSink sink({});
        QVERIFY(sink.port > 0);
        Program p;
        p.mail.setOptions(QStringLiteral("-port %1 -retrywait 0").arg(sink.port));
        p.mail.install(QStringLiteral("127.0.0.1"), QStringLiteral("wx@example.org"));
        QVERIFY(p.waitIdle());
        p.mail.send(QStringLiteral("output.txt"), QStringLiteral("FIRST BODY"),
                    QStringLiteral("ONE"), QStringLiteral("me@x.org"));
        p.mail.send(QStringLiteral("output.txt"), QStringLiteral("SECOND BODY"),
                    QStringLiteral("TWO"), QStringLiteral("me@x.org"));
        QCOMPARE(p.mail.waiting(), 1);
        QuietHost host;
        SettingsStore store(p.home.file(QStringLiteral(".config/Vantorel-v15.conf")));
        ShutdownSequence shutdown(p.programDir, p.settings, store, p.engine, host, p.prompter);
        shutdown.setMail(&p.mail, &p.clock);
        QVERIFY(shutdown.windowClosing());
        QVERIFY(p.waitIdle());
        QVERIFY2(p.sendLog("email-log.txt")
                     .contains("QUEUED TWO to me@x.org at 12/6/2026 6:27:51 PM - not sent before "
                               "closing; it goes out at the next start"),
                 qPrintable(p.sendLog("email-log.txt")));

        // The next start.
        MailSender next(p.programDir, p.runner);
        next.setOptions(p.mail.options());
        QCOMPARE(next.resendHeld(p.clock.now()), 1);
        QVERIFY(p.waitIdle());
        QVERIFY(!QFile::exists(next.queuePath()));
        QList<SmtpSink::Message> messages = sink.messages();
        QCOMPARE(messages.size(), 2);
        std::sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) {
            return headerOf(a.data, "Subject") < headerOf(b.data, "Subject");
        });
        QVERIFY(messages[0].data.contains("FIRST BODY"));
        QVERIFY(messages[1].data.contains("SECOND BODY"));
        QVERIFY(p.sendLog("email-log.txt").contains("Emailing TWO to me@x.org at "));
    }

private:
    QTemporaryDir m_tls;
    QString m_cert;
};

QTEST_GUILESS_MAIN(TestNotifications)
#include "tst_notifications.moc"
