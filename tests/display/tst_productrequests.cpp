#include "TestSupport.h"
#include "display/BulletinDisplay.h"
#include "display/GphViewer.h"
#include "display/MirrorFetcher.h"
#include "display/ProductRequests.h"
#include "display/XdotoolKeystrokes.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
const QString kAfd = QStringLiteral("AFDGRR   ~KGRR~MI");

struct Fixture : CoreFixture
{
    std::unique_ptr<BulletinDisplay> bulletin;
    std::unique_ptr<MirrorFetcher> fetcher;
    std::unique_ptr<ProductRequests> requests;

    Fixture()
    {
        Settings& s = settings;
        s.TextPath = home.path() + QStringLiteral("/text/");
        s.TransferPath = home.path() + QStringLiteral("/transfer/");
        s.TrackPath = home.path() + QStringLiteral("/track/");
        for (const QString& d : {s.TextPath, s.TransferPath, s.receiptDir(), programDir})
            QDir().mkpath(d);
        bulletin = std::make_unique<BulletinDisplay>(settings, display, status, prompter);
        fetcher = std::make_unique<MirrorFetcher>();
        requests = std::make_unique<ProductRequests>(
            ProductRequests::Context{programDir, settings, store, lists, display, status, prompter},
            *bulletin, *fetcher);
    }
    void product(const QString& key, const QByteArray& text = QByteArray())
    {
        home.write(QStringLiteral("text/") + key, text.isEmpty() ? key.toLatin1() : text);
    }
    void receipt(const QString& name, const QString& key)
    {
        home.write(QStringLiteral("track/emwin/") + name + QStringLiteral(".TXT"),
                   key.toLatin1() + "\r\n");
    }
    QStringList list1() { return lists.List1().texts(); }
};
} // namespace

class TestProductRequests : public QObject
{
    Q_OBJECT
private slots:
    void listingPattern_data();
    void listingPattern();
    void categoryWithTwoCodes();
    void allTextProducts();
    void searchBox();
    void buttonShortNameNoneFound();
    void buttonByReceiptAndZone();
    void quickItems();
    void olderAndNewer();
    void manualEntryLocal();
    void manualEntryRefusesHostileNames();
    void listClicks();
    void gphWithoutPath();
    void logAndStatus();
    void autoUpdateRepeatsRequest();
    void keysWithoutXdotool();
};

void TestProductRequests::listingPattern_data()
{
    QTest::addColumn<QStringList>("request");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("station") << QStringList{"KGRR", "ZZZ", "ZZZ", "ZZZ"} << "?????????~KGRR*";
    QTest::newRow("office") << QStringList{"GRRWFOSEARCH", "ZZZ", "ZZZ", "ZZZ"} << "???GRR*";
    QTest::newRow("state") << QStringList{"MISTATESEARCH", "ZZZ", "ZZZ", "ZZZ"}
                           << "?????????~????~MI*";
    QTest::newRow("one category") << QStringList{"AFD", "ZZZ", "ZZZ", "ZZZ"} << "AFD*";
    QTest::newRow("four categories")
        << QStringList{"TOR", "SVR", "FFW", "SVS"} << "TOR*;SVR*;FFW*;SVS*";
    QTest::newRow("gap") << QStringList{"TOR", "ZZZ", "FFW", "ZZZ"} << "TOR*;FFW*";
}

void TestProductRequests::listingPattern()
{
    QFETCH(QStringList, request);
    QFETCH(QString, pattern);
    QCOMPARE(ProductRequests::listingPattern(request[0], request[1], request[2], request[3]),
             pattern);
}

void TestProductRequests::categoryWithTwoCodes()
{
    Fixture f;
    for (const char* key : {"TORGRR   ~KGRR~MI", "SVRDTX   ~KDTX~MI", "AFDGRR   ~KGRR~MI"})
        f.product(QLatin1String(key));
    f.lists.optListBoxType_Click(0);
    f.requests->categoryItem_Click(QStringLiteral("TORSVR"));
    QCOMPARE(f.requests->listingRequest(), (QStringList{"TOR", "SVR", "ZZZ", "ZZZ"}));
    QCOMPARE(f.list1(), (QStringList{"SVRDTX   ~KDTX~MI", "TORGRR   ~KGRR~MI"}));
    QCOMPARE(f.lists.shownOption(), 1);
    // Colours were applied: TOR is red on black.
    QCOMPARE(f.lists.List1().entry(1).foreground, QColor(255, 0, 0));
}

void TestProductRequests::allTextProducts()
{
    Fixture f;
    f.product(kAfd);
    f.product(QStringLiteral("RADGRRMI.GIF"));
    f.requests->setListingRequest(QStringLiteral("TOR"));
    f.requests->mnuBulletinText_Click();
    QCOMPARE(f.list1(), QStringList{kAfd});
    QCOMPARE(f.requests->listingRequest().first(), QString());
}

void TestProductRequests::searchBox()
{
    Fixture f;
    f.product(kAfd);
    f.product(QStringLiteral("AFDDTX   ~KDTX~MI"));
    f.product(QStringLiteral("AFDBOX   ~KBOX~MA"));
    QVERIFY(!f.requests->txtState_Enter(QStringLiteral("M")));
    QVERIFY(f.requests->txtState_Enter(QStringLiteral("mi")));
    QCOMPARE(f.list1().size(), 2);
    QVERIFY(f.requests->txtState_Enter(QStringLiteral("BOX")));
    QCOMPARE(f.list1(), QStringList{"AFDBOX   ~KBOX~MA"});
    QCOMPARE(f.requests->listingRequest().first(), QStringLiteral("BOXWFOSEARCH"));
    QVERIFY(!f.requests->txtState_KeyUp(QStringLiteral("KGR")));
    QVERIFY(f.requests->txtState_KeyUp(QStringLiteral("KGRR")));
    QCOMPARE(f.list1(), QStringList{kAfd});
    // A typed path is refused with a message, not listed.
    QVERIFY(f.requests->txtState_Enter(QStringLiteral("/.")));
    QCOMPARE(f.prompter.messages.size(), 1);
}

void TestProductRequests::buttonShortNameNoneFound()
{
    Fixture f;
    f.requests->cmdButton_Click(QStringLiteral("TOR"));
    QCOMPARE(f.list1(), QStringList{ProductLists::NoneFound});
    f.product(QStringLiteral("TORGRR   ~KGRR~MI"));
    f.requests->cmdButton_Click(QStringLiteral("TOR"));
    QCOMPARE(f.list1(), QStringList{"TORGRR   ~KGRR~MI"});
}

void TestProductRequests::buttonByReceiptAndZone()
{
    Fixture f;
    f.product(kAfd, "AREA FORECAST DISCUSSION");
    f.receipt(QStringLiteral("AFDGRRMI"), kAfd);
    f.requests->cmdButton_Click(QStringLiteral("AFDGRRMI"));
    QCOMPARE(f.display.tag(), kAfd);
    QCOMPARE(f.display.text(), QStringLiteral("AREA FORECAST DISCUSSION"));

    QStringList asked;
    f.requests->setZoneFinder([&](const QString& code, const QString& product) {
        asked << code + QLatin1Char('|') + product;
        return std::optional<QString>(QStringLiteral("SEGMENT"));
    });
    f.requests->cmdButton_Click(QStringLiteral("AFDGRR!MIZ050"));
    QCOMPARE(asked, QStringList{"MIZ050|" + kAfd});
    QCOMPARE(f.display.text(), QStringLiteral("SEGMENT"));
    QCOMPARE(f.display.tag(), kAfd);

    f.requests->cmdButton_Click(QStringLiteral("ZFPXXX"));
    QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
    QCOMPARE(f.display.tag(), QString());
    QCOMPARE(asked.size(), 1);
}

void TestProductRequests::quickItems()
{
    Fixture f;
    f.product(kAfd, "AFD TEXT");
    f.product(QStringLiteral("SWODY1   ~KWNS~US"), "SWO TEXT");
    f.receipt(QStringLiteral("SWODY1US"), QStringLiteral("SWODY1   ~KWNS~US"));
    f.requests->mnuQuick_Click(QStringLiteral("AFDGRR!"));
    QCOMPARE(f.display.text(), QStringLiteral("AFD TEXT"));
    f.requests->mnuQuick_Click(QStringLiteral("SWODY1US.TXT"));
    QCOMPARE(f.display.text(), QStringLiteral("SWO TEXT"));
    f.requests->mnuQuick_Click(QStringLiteral("NOPE!"));
    QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
    f.requests->mnuQuick_Click(QStringLiteral("SWO"));
    QCOMPARE(f.list1(), QStringList{"SWODY1   ~KWNS~US"});
}

void TestProductRequests::olderAndNewer()
{
    Fixture f;
    f.product(kAfd, "V0");
    for (int v = 1; v <= 11; ++v)
        f.product(kAfd + QStringLiteral(".%1").arg(v), QStringLiteral("V%1").arg(v).toLatin1());
    f.bulletin->DisplayProd(kAfd);
    f.requests->cmdProduct_Click(1); // newer than the newest: the same file
    QCOMPARE(f.display.tag(), kAfd);
    f.requests->cmdProduct_Click(0);
    QCOMPARE(f.display.tag(), kAfd + ".1");
    f.requests->cmdProduct_Click(0);
    QCOMPARE(f.display.tag(), kAfd + ".2"); // numeric order, not .10 after .1
    f.bulletin->DisplayProd(kAfd + ".9");
    f.requests->cmdProduct_Click(0);
    QCOMPARE(f.display.tag(), kAfd + ".10");
    f.requests->cmdProduct_Click(0);
    f.requests->cmdProduct_Click(0);
    QCOMPARE(f.display.tag(), kAfd + ".11"); // the oldest stays
    f.requests->cmdProduct_Click(1);
    QCOMPARE(f.display.tag(), kAfd + ".10");
    f.display.setDisplay(QStringLiteral("message"), QString());
    f.requests->cmdProduct_Click(0);
    QCOMPARE(f.display.text(), QStringLiteral("message"));
}

void TestProductRequests::manualEntryLocal()
{
    Fixture f;
    f.product(kAfd, "AFD");
    f.requests->txtManual_Enter(QStringLiteral("afd.rr"));
    QCOMPARE(f.display.tag(), kAfd);
    f.receipt(QStringLiteral("AFDGRRMI"), kAfd);
    f.display.setDisplay(QString(), QString());
    f.requests->txtManual_Enter(QStringLiteral("AFDGRRMI"));
    QCOMPARE(f.display.tag(), kAfd);
    f.requests->txtManual_Enter(QStringLiteral("ZFPGRRMI"));
    QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
    f.requests->txtManual_Enter(QStringLiteral("SAHOURLY"));
    QCOMPARE(f.display.text(), BulletinDisplay::TooLarge);
    QVERIFY(!f.requests->fetching());
}

void TestProductRequests::manualEntryRefusesHostileNames()
{
    Fixture f;
    f.home.write(QStringLiteral("secret.txt"), "SECRET");
    f.requests->setInternetMode(true);
    f.requests->txtManual_Enter(QStringLiteral("../SECRET.TXT"));
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(!f.requests->fetching());
    QVERIFY(!f.display.text().contains(QStringLiteral("SECRET")));
}

void TestProductRequests::listClicks()
{
    Fixture f;
    f.product(kAfd, "AFD");
    ProductLists& lists = f.lists;
    lists.List1().append(ProductLists::NoneFound);
    f.requests->List1_Click(0);
    QCOMPARE(lists.List1().count(), 0);
    lists.List1().append(kAfd.toLower());
    f.requests->List1_Click(0); // List1 entries are taken in upper case
    QCOMPARE(f.display.tag(), kAfd);

    lists.List2().insertTop(
        QStringLiteral("GRR~Area Forecast Discussion%1+").arg(QString(16, ' ')) + kAfd,
        ProductLists::Cap);
    f.display.setDisplay(QString(), QString());
    f.requests->ListClick(2, 0);
    QCOMPARE(f.display.tag(), kAfd);
    lists.List3().insertTop(QStringLiteral("DATA.ZIP.Z"), ProductLists::Cap);
    f.requests->ListClick(3, 0);
    QCOMPARE(f.display.text(), ProductRequests::ZippedMessage);
    lists.List4().insertTop(QStringLiteral("RADGRRMI.GIF"), 0);
    QSignalSpy image(f.requests.get(), &ProductRequests::imageRequested);
    f.requests->ListClick(4, 0);
    QCOMPARE(image.count(), 1);
    f.requests->ListClick(4, 5); // past the end: nothing
    f.requests->ListClick(4, -1);
    QCOMPARE(image.count(), 1);
}

void TestProductRequests::gphWithoutPath()
{
    Fixture f;
    RecordingLauncher keysLauncher;
    XdotoolKeystrokes keys(keysLauncher);
    GphViewer viewer(f.settings, f.display, f.status, f.launcher, keys);
    f.requests->setGphViewer(&viewer);
    f.lists.List1().append(QStringLiteral("GPH123.GPH"));
    f.requests->List1_Click(0);
    QCOMPARE(f.display.text(), GphViewer::NoPath);
    QVERIFY(f.launcher.commandLines.isEmpty());
    f.settings.GPHPath = QStringLiteral("/opt/gph/");
    f.settings.AFOSPath = QStringLiteral("/data/afos/");
    f.requests->List1_Click(0);
    QCOMPARE(f.launcher.commandLines, QStringList{"\"/opt/gph/gphplot\""});
    QTRY_COMPARE_WITH_TIMEOUT(keysLauncher.commandLines.size(), 1, 10000);
    QVERIFY(keysLauncher.commandLines[0].endsWith(
        QStringLiteral("key shift+F6 slash d a t a slash a f o s slash G P H 1 2 3 period G P H "
                       "Return")));
}

void TestProductRequests::logAndStatus()
{
    Fixture f;
    f.display.setDisplay(QStringLiteral("shown"), kAfd);
    f.requests->mnuQuickWx_Click(0);
    QCOMPARE(f.display.tag(), QString());
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY(f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: QuickWX\nError: 53")));
    f.home.write(QStringLiteral("prog/weather.txt"), "ALARM LOG\r\n");
    f.requests->mnuQuickWx_Click(0);
    QCOMPARE(f.display.text(), QStringLiteral("ALARM LOG\r\n"));
    f.requests->mnuQuickWx_Click(1);
    QVERIFY(!QFile::exists(f.programDir + QStringLiteral("weather.txt")));
    f.requests->mnuQuickWx_Click(1); // nothing to delete is no error
    f.home.write(QStringLiteral("prog/status.txt"), "STATUS");
    f.requests->mnuQuickWx_Click(2);
    QCOMPARE(f.display.text(), QStringLiteral("STATUS"));
    QCOMPARE(f.prompter.messages.size(), 1);
}

void TestProductRequests::autoUpdateRepeatsRequest()
{
    Fixture f;
    f.requests->categoryItem_Click(QStringLiteral("TOR"));
    QCOMPARE(f.list1(), QStringList());
    f.product(QStringLiteral("TORGRR   ~KGRR~MI"));
    QVERIFY(!f.requests->autoUpdate());
    f.requests->setAutoUpdate(true);
    QVERIFY(f.requests->autoUpdate());
    f.requests->Timer2_Timer(); // what the timer runs every 30 s
    QCOMPARE(f.list1(), QStringList{"TORGRR   ~KGRR~MI"});
    f.requests->setAutoUpdate(false);
    QVERIFY(!f.requests->autoUpdate());
}

void TestProductRequests::keysWithoutXdotool()
{
    RecordingLauncher launcher;
    launcher.result = 0; // xdotool is not installed
    XdotoolKeystrokes keys(launcher);
    QVERIFY(!keys.sendKeys(QStringLiteral("GPH Viewer"), QStringLiteral("{ENTER}")));
    QCOMPARE(launcher.commandLines.size(), 1);
}

QTEST_GUILESS_MAIN(TestProductRequests)
#include "tst_productrequests.moc"
