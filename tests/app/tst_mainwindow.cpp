// The logic behind the main window: list pop-ups and menu commands, the
// layout arithmetic over window sizes from tiny to wide, and the two feeds
// watched against each other (each silence reported once).
#include "TestSupport.h"
#include "app/FeedWatch.h"
#include "app/ListPopup.h"
#include "app/MainLayout.h"
#include "app/MainMenuCommands.h"
#include "display/BulletinDisplay.h"
#include "display/ProductRequests.h"
#include "notify/Pager.h"

#include <QTest>
#include <algorithm>

namespace {
struct PopupFixture : StateFixture
{
    ListPopup popup{state.requests(), prompter};
    QStringList ran;
    PopupFixture()
    {
        ListPopup::Handlers handlers;
        handlers.print = [this] { ran << QStringLiteral("print"); };
        handlers.afosPrint = [this](const QString& entry) { ran << "afos " + entry; };
        handlers.email = [this] { ran << QStringLiteral("email"); };
        popup.setHandlers(handlers);
    }
};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void listPopupEntries_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QStringList>("ran");
        QTest::addColumn<int>("messages");
        QTest::addColumn<bool>("available");
        QTest::addColumn<QString>("entry");
        QTest::newRow("print selected")
            << 7 << true << QStringList{"print"} << 0 << true << "AFDGRR   ~KGRR~MI";
        QTest::newRow("print AFOS graphic")
            << 7 << true << QStringList{"afos GPH123.GPH"} << 0 << true << "gph123.gph";
        QTest::newRow("print without selection") << 7 << false << QStringList{} << 1 << true << "";
        QTest::newRow("mail selected") << 9 << true << QStringList{"email"} << 0 << true << "GPH1";
        QTest::newRow("no pager handler") << 8 << true << QStringList{} << 0 << false << "";
        QTest::newRow("no image handler") << 2 << true << QStringList{} << 0 << false << "";
    }
    void listPopupEntries()
    {
        QFETCH(int, index);
        QFETCH(bool, selection);
        QFETCH(QStringList, ran);
        QFETCH(int, messages);
        QFETCH(bool, available);
        QFETCH(QString, entry);
        PopupFixture f;
        QCOMPARE(f.popup.available(index), available);
        f.popup.choose(index, selection, entry);
        QCOMPARE(f.ran, ran);
        QCOMPARE(f.prompter.messages.size(), messages);
        if (messages)
            QCOMPARE(f.prompter.messages[0].text, QStringLiteral("Must select a product first"));
    }
    void addIns()
    {
        StateFixture f;
        MainMenuCommands commands(f.state);
        commands.openAddIn(3);
        QCOMPARE(f.launcher.commandLines, QStringList({'"' + f.programDir + "afosplot\""}));
        QCOMPARE(f.launcher.windows, QList<LaunchWindow>({LaunchWindow::Normal}));
        // Paging setup without the paging program: the user is told so.
        commands.openAddIn(1);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("abcPager software not found"));
        bool opened = false;
        commands.setPagerSetup([&opened] { opened = true; });
        f.state.pager().setProgramPath(QStringLiteral("/opt/abc/abcPager"));
        commands.openAddIn(1);
        QVERIFY(opened);
        // The alarm test is offered only with a test product.
        QVERIFY(!commands.alarmTestAvailable());
        f.home.write(QStringLiteral("prog/testprod.torgrrmi"), "WFUS53 KGRR 051200\r\nTORGRR\r\n");
        QVERIFY(commands.alarmTestAvailable());
    }
    void helpLists()
    {
        StateFixture f;
        MainMenuCommands commands(f.state);
        f.home.write(QStringLiteral("prog/facility-list.txt"), "GRR  Grand Rapids");
        f.state.display.setDisplay(QStringLiteral("AFD"), QStringLiteral("AFDGRR   ~KGRR~MI"));
        commands.openHelp(2);
        QCOMPARE(f.state.display.text(), QStringLiteral("GRR  Grand Rapids"));
        QCOMPARE(f.state.display.tag(), QString());
        commands.openHelp(3); // missing file: reported, the display stays
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(
            f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: mnuAbout\nError: 53")));
        QCOMPARE(f.state.display.text(), QStringLiteral("GRR  Grand Rapids"));
    }
    void automaticStateFilters()
    {
        StateFixture f;
        ProductRequests& requests = f.state.requests();
        QList<bool> autoUpdate;
        QObject::connect(&requests, &ProductRequests::autoUpdateChanged,
                         [&](bool on) { autoUpdate << on; });
        f.home.write(QStringLiteral("text/AFDGRR   ~KGRR~MI"), "AFD");
        requests.applyAutomaticStateFilters({QStringLiteral("MI"), QStringLiteral("GRR")});
        // Each filter runs the search and toggles the auto-update: on, then off.
        QCOMPARE(autoUpdate, QList<bool>({true, false}));
        QCOMPARE(requests.listingRequest().first(), QStringLiteral("GRRWFOSEARCH"));
        QCOMPARE(f.state.lists.filtered().texts(), QStringList({"AFDGRR   ~KGRR~MI"}));
        // The Internet mode flag lives with the requests and is announced once.
        QList<bool> modes;
        QObject::connect(&requests, &ProductRequests::internetModeChanged,
                         [&](bool on) { modes << on; });
        requests.setInternetMode(true);
        requests.setInternetMode(true);
        QCOMPARE(modes, QList<bool>({true}));
    }

    void anySize_data()
    {
        QTest::addColumn<bool>("longHeader");
        QTest::addColumn<bool>("smallScreen");
        for (const bool longHeader : {false, true}) {
            for (const bool smallScreen : {false, true})
                QTest::addRow("long %d, 640 %d", longHeader, smallScreen)
                    << longHeader << smallScreen;
        }
    }
    void anySize()
    {
        QFETCH(bool, longHeader);
        QFETCH(bool, smallScreen);
        const MainLayout layout(longHeader, smallScreen);
        int lastWidth = 0;
        for (const int width : {-100, 0, 1000, 2572, 3000, 7000, 10845, 15000}) {
            const MainLayout::Geometry g = layout.resize(width, MainLayout::ReferenceHeight);
            QCOMPARE(g.displayLeft, g.listWidth);
            QVERIFY(g.displayWidth >= 1);
            QVERIFY(g.displayWidth >= lastWidth);
            QVERIFY(g.displayLeft + g.displayWidth <= std::max(width, g.listWidth + 1));
            lastWidth = g.displayWidth;
        }
        QVERIFY(layout.compactWidth() > layout.listWidth());
        QVERIFY(layout.expandedWidth() > layout.compactWidth());
        for (const int height : {-5, 0, 4000, 5000, 5580, 7725, 12000}) {
            const MainLayout::Geometry g = layout.resize(MainLayout::ReferenceWidth, height);
            QVERIFY(g.height > 0);
            if (!g.windowHeight)
                continue;
            QVERIFY(*g.windowHeight > height);
            QVERIFY(!layout.resize(MainLayout::ReferenceWidth, *g.windowHeight).windowHeight);
        }
    }

    void silences_data()
    {
        QTest::addColumn<QString>("minutes"); // per minute: letters W, A, D
        QTest::addColumn<QStringList>("notices");
        const QString both = QStringLiteral("WAD ").repeated(16);
        QTest::newRow("both run") << both + QStringLiteral("WAD ").repeated(30) << QStringList();
        QTest::newRow("wire stops: once")
            << both + QStringLiteral("A ").repeated(30)
            << QStringList{QStringLiteral("NWWS feed silent since 00:15 while the broadcast runs")};
        QTest::newRow("broadcast stops: once")
            << both + QStringLiteral("WA ").repeated(30)
            << QStringList{QStringLiteral("Broadcast feed silent since 00:15 while NWWS runs")};
        QTest::newRow("wire stops twice")
            << both + QStringLiteral("A ").repeated(16) + QStringLiteral("WAD ").repeated(2) +
                   QStringLiteral("A ").repeated(16)
            << QStringList{QStringLiteral("NWWS feed silent since 00:15 while the broadcast runs"),
                           QStringLiteral("NWWS feed silent since 00:33 while the broadcast runs")};
        QTest::newRow("everything silent: the data-loss alarm's business")
            << both + QStringLiteral("- ").repeated(30) << QStringList();
        QTest::newRow("no wire yet at start")
            << QStringLiteral("A ").repeated(20)
            << QStringList{QStringLiteral("NWWS feed silent while the broadcast runs")};
    }
    void silences()
    {
        QFETCH(QString, minutes);
        QFETCH(QStringList, notices);
        FeedWatch watch;
        const QDateTime start(QDate(2026, 12, 7), QTime(0, 0));
        FeedWatch::Reading r;
        QStringList got;
        int minute = 0;
        for (const QString& m : minutes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            r.now = start.addSecs(60 * minute++);
            if (m.contains(QLatin1Char('W')))
                r.lastWire = r.now;
            if (m.contains(QLatin1Char('A')))
                r.lastArrival = r.now;
            if (m.contains(QLatin1Char('D')))
                ++r.duplicates;
            const QString notice = watch.check(r);
            if (!notice.isEmpty())
                got << notice;
        }
        QCOMPARE(got, notices);
    }
};

QTEST_GUILESS_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
