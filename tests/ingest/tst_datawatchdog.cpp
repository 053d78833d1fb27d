#include "TestSupport.h"
#include "app/DataLossNotices.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/DataWatchdog.h"
#include "ingest/EngineControl.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"

#include <QFile>
#include <QTest>

namespace {
const QString kPagerPath = QStringLiteral("/opt/abc/abcPager");

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/");
    FakeClock clock;
    StatusLine status;
    RecordingLauncher launcher;
    FakeWindowControl windows;
    Settings settings;
    PagerConfig pagers;
    MailSender mail{programDir, launcher};
    Pager pager{settings, launcher, kPagerPath};
    DataLossNotices notices{settings, pagers, mail, pager};
    EngineControl engine{programDir, launcher, windows, status};
    DataWatchdog watchdog{clock, status, settings, notices, engine};
    QDateTime lastData = QDateTime(QDate(2026, 12, 6), QTime(18, 0, 0));
    QStringList statusTexts;

    explicit Fixture(int delay = 3, bool stripLF = false)
    {
        settings.AlertEmail = 1;
        settings.AlertPager = 1;
        settings.InactivityDelay = static_cast<std::uint8_t>(delay);
        settings.stripLF = stripLF;
        settings.EMail0 = QStringLiteral("me@example.org");
        pagers.personalId = QStringLiteral("ATM1");
        pagers.charsPerPage = QStringLiteral("80");
        watchdog.setLastDataTime([this] { return lastData; });
        watchdog.setStationName([] { return QStringLiteral("WXSTATION"); });
        QObject::connect(&status, &StatusLine::changed,
                         [this](const QString& text) { statusTexts << text; });
    }
    // One minute passes, then the watchdog ticks.
    void minute(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            clock.current = clock.current.addSecs(60);
            watchdog.tick();
        }
    }
    void productArrives() { lastData = clock.current; }
    QByteArray body() const { return readBytes(programDir + QStringLiteral("output.txt")); }
    QString mailLine(const QString& subject) const
    {
        return programDir + QStringLiteral("blat \"") + programDir +
               QStringLiteral("output.txt\" -s \"") + subject +
               QStringLiteral("\" -t me@example.org ");
    }
};
} // namespace

class TestDataWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void alertOnceAtDelayThenResumed()
    {
        Fixture f;
        f.minute(3); // 18:30:51
        QCOMPARE(f.statusTexts,
                 QStringList({"No products for 1 minutes.", "No products for 2 minutes.",
                              "No products for 3 minutes.", "ALERT - No Incoming Data"}));
        QVERIFY(f.watchdog.alertActive());
        QCOMPARE(f.launcher.commandLines,
                 QStringList({f.mailLine("Vantorel Data Loss"),
                              kPagerPath + " \"ATM1:12/6/2026 6:30:51 PM - No data received from "
                                           "Vantorel for over 3 minutes on WXSTATION.\""}));
        QCOMPARE(f.launcher.windows,
                 QList<LaunchWindow>({LaunchWindow::Hidden, LaunchWindow::NormalNoFocus}));
        QCOMPARE(f.body(), QByteArray("12/6/2026 6:30:51 PM\r\nNo data received from Vantorel for "
                                      "over 3 minutes on WXSTATION.\r\n"));

        f.minute(2);
        QCOMPARE(f.status.text(), QStringLiteral("No products for 5 minutes."));
        QCOMPARE(f.launcher.commandLines.size(), 2);

        QVERIFY(f.launcher.finish(0, {})); // the mailer is done with output.txt
        QVERIFY(f.launcher.finish(1, {})); // and the pager with its page
        f.productArrives();
        f.minute(); // 18:33:51
        QVERIFY(!f.watchdog.alertActive());
        QCOMPARE(f.watchdog.silentMinutes(), 0);
        QCOMPARE(f.launcher.commandLines.size(), 4);
        QCOMPARE(f.launcher.commandLines.at(2), f.mailLine("Vantorel Data Resumed"));
        QCOMPARE(f.launcher.commandLines.at(3),
                 kPagerPath + " \"ATM1:12/6/2026 6:33:51 PM - EMWIN data has resumed flowing on "
                              "WXSTATION.\"");
        QCOMPARE(
            f.body(),
            QByteArray("12/6/2026 6:33:51 PM\r\nEMWIN data has resumed flowing on WXSTATION.\r\n"));
        // Products keep coming: nothing more is sent.
        f.productArrives();
        f.minute();
        QCOMPARE(f.launcher.commandLines.size(), 4);
    }
    void shortSilenceSendsNothing()
    {
        Fixture f;
        f.minute(2);
        f.productArrives();
        f.minute();
        // 86 seconds after the last product still count as flowing.
        f.lastData = f.clock.current.addSecs(-26);
        f.minute();
        QVERIFY(f.launcher.commandLines.isEmpty());
        QCOMPARE(f.watchdog.silentMinutes(), 0);
        QVERIFY(!QFile::exists(f.programDir + "output.txt"));
        // 87 seconds do not.
        f.lastData = f.clock.current.addSecs(-27);
        f.minute();
        QCOMPARE(f.watchdog.silentMinutes(), 1);
    }
    void zeroDelayNeverAlerts()
    {
        Fixture f(0);
        f.minute(10);
        QVERIFY(!f.watchdog.alertActive());
        QVERIFY(f.launcher.commandLines.isEmpty());
        QCOMPARE(f.status.text(), QStringLiteral("No products for 10 minutes."));
    }
    void longSilenceDoesNotFail()
    {
        Fixture f;
        f.minute(40000);
        QCOMPARE(f.watchdog.silentMinutes(), int(DataWatchdog::MaxSilentMinutes));
        QCOMPARE(f.status.text(), QStringLiteral("No products for 32767 minutes."));
        QCOMPARE(f.statusTexts.count(QStringLiteral("ALERT - No Incoming Data")), 1);
        QCOMPARE(f.launcher.commandLines.size(), 2);
        // The largest delay the setting holds is still met exactly once.
        Fixture g(255);
        g.minute(400);
        QCOMPARE(g.statusTexts.count(QStringLiteral("ALERT - No Incoming Data")), 1);
        QCOMPARE(g.launcher.commandLines.size(), 2);
    }
    void stripLFMailBody()
    {
        Fixture f(1, true);
        f.minute();
        QCOMPARE(f.body(), QByteArray("12/6/2026 6:28:51 PM\rNo data received from Vantorel for "
                                      "over 1 minutes on WXSTATION.\r\n"));
    }
    void backupEngineOnAlert()
    {
        Fixture f(2);
        f.settings.AlertEmail = 0;
        f.settings.AlertPager = 0;
        f.settings.AlertByte = 1;
        f.minute(2);
        QCOMPARE(f.launcher.commandLines, QStringList({f.programDir + "Engine.exe"}));
        QCOMPARE(f.status.text(), QStringLiteral("Internet Ingest Started"));
        // The backup engine keeps running when products flow again.
        f.productArrives();
        f.minute();
        QCOMPARE(f.launcher.commandLines.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDataWatchdog)
#include "tst_datawatchdog.moc"
