// Product requests from the menus, buttons, lists and manual entry, the keys
// sent to the graphics viewer, and the mirror fetch of a product not stored
// here, against a local web server.
#include "TestSupport.h"
#include "display/BulletinDisplay.h"
#include "display/GphViewer.h"
#include "display/MirrorFetcher.h"
#include "display/ProductRequests.h"
#include "display/XdotoolKeystrokes.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
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
    QStringList list1() { return lists.filtered().texts(); }
};
} // namespace

namespace {
// A private X server with one window titled "GPH Viewer" (xev) that reports
// every key it receives.
class KeyWitness
{
public:
    ~KeyWitness()
    {
        for (QProcess* p : {&m_xev, &m_server}) {
            p->kill();
            p->waitForFinished(3000);
        }
        if (m_display.isEmpty())
            return;
        if (m_savedDisplay.isNull())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", m_savedDisplay);
    }
    // False when Xvfb, xev or xdotool is missing or the server does not come up.
    bool start(const QString& title)
    {
        for (const char* tool : {"Xvfb", "xev", "xdotool"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return false;
        }
        for (int n = 90 + QCoreApplication::applicationPid() % 100; n < 400; n += 97) {
            if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && startServer(n))
                break;
        }
        if (m_display.isEmpty())
            return false;
        m_savedDisplay = qgetenv("DISPLAY");
        qputenv("DISPLAY", m_display.toLatin1());
        m_xev.start(QStringLiteral("xev"),
                    {QStringLiteral("-name"), title, QStringLiteral("-event"), "keyboard"});
        if (!m_xev.waitForStarted(5000))
            return false;
        return QTest::qWaitFor(
            [] {
                QProcess search;
                search.start(QStringLiteral("xdotool"),
                             {"search", "--name", QStringLiteral("^GPH Viewer$")});
                return search.waitForFinished(3000) && search.exitCode() == 0;
            },
            10000);
    }
    // The keysyms of the key presses seen so far, modifier keys left out.
    QStringList pressed()
    {
        m_output += m_xev.readAllStandardOutput();
        static const QRegularExpression press(QStringLiteral(
            "KeyPress event[^\\n]*\\n[^\\n]*\\n[^\\n]*keysym 0x[0-9a-f]+, (\\w+)\\)"));
        QStringList keys;
        auto it = press.globalMatch(QString::fromLatin1(m_output));
        while (it.hasNext()) {
            const QString key = it.next().captured(1);
            if (!key.startsWith(QLatin1String("Shift_")) && !key.startsWith(QLatin1String("Alt_")))
                keys << key;
        }
        return keys;
    }

private:
    bool startServer(int n)
    {
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), "-nolisten", "tcp",
                                                "-screen", "0", "640x480x24"});
        if (!m_server.waitForStarted(5000))
            return false;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (!QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
            return false;
        }
        m_display = QStringLiteral(":%1").arg(n);
        return true;
    }

    QProcess m_server;
    QProcess m_xev;
    QString m_display;
    QByteArray m_savedDisplay;
    QByteArray m_output;
};

// The xdotool command words that may follow each other in one invocation.
const QStringList kCommands = {"search", "windowraise", "windowfocus", "key"};
} // namespace

namespace {
const QByteArray kProduct = "\x01\r\r\n123 \r\r\nWFUS53 KGRR 051200\r\r\nTORGRR\r\r\nTEXT\r\r\n";

// A small HTTP server on 127.0.0.1 that answers by path.
class MirrorServer : public QObject
{
public:
    MirrorServer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    m_request += socket->readAll();
                    if (!m_request.contains("\r\n\r\n"))
                        return;
                    const QByteArray path = m_request.split(' ').value(1);
                    m_request.clear();
                    paths << QString::fromLatin1(path);
                    answer(socket, path);
                });
            }
        });
    }
    QString base() const
    {
        return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort());
    }
    QStringList paths;

private:
    static void reply(QTcpSocket* socket, const QByteArray& status, const QByteArray& body,
                      const QByteArray& extra = QByteArray(), bool withLength = true)
    {
        QByteArray head = "HTTP/1.1 " + status + "\r\nConnection: close\r\n" + extra;
        if (withLength)
            head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
        socket->write(head + "\r\n" + body);
        socket->disconnectFromHost();
    }
    void answer(QTcpSocket* socket, const QByteArray& path)
    {
        if (path.startsWith("/TORGRRMI"))
            reply(socket, "200 OK", kProduct);
        else if (path.startsWith("/NOTFOUND"))
            reply(socket, "200 OK", "<html><body>The page cannot be found</body></html>");
        else if (path.startsWith("/EMPTYREP"))
            reply(socket, "200 OK", QByteArray());
        else if (path.startsWith("/E404"))
            reply(socket, "404 Not Found", "not here");
        else if (path.startsWith("/E500"))
            reply(socket, "500 Internal Server Error", "broken");
        else if (path.startsWith("/BINARY"))
            reply(socket, "200 OK", QByteArray("GIF89a\0\0\x01\x02", 10));
        else if (path.startsWith("/CONTROLS"))
            reply(socket, "200 OK", QByteArray(200, '\x07') + "TEXT");
        else if (path.startsWith("/LARGEHDR"))
            reply(socket, "200 OK", QByteArray(6 * 1024 * 1024, 'A'));
        else if (path.startsWith("/LARGERUN"))
            reply(socket, "200 OK", QByteArray(6 * 1024 * 1024, 'A'), QByteArray(), false);
        else if (path.startsWith("/LOOP"))
            reply(socket, "302 Found", QByteArray(), "Location: /LOOP.TXT\r\n");
        else if (path.startsWith("/MOVED"))
            reply(socket, "301 Moved", QByteArray(), "Location: /TORGRRMI.TXT\r\n");
        else if (path.startsWith("/SILENT"))
            return; // never answers
        else
            reply(socket, "404 Not Found", QByteArray());
    }

    QTcpServer m_server;
    QByteArray m_request;
};
} // namespace

namespace {
struct RequestFixture
{
    TestHome home;
    SettingsStore store{home.file(QStringLiteral(".config/Vantorel-v15.conf"))};
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    MirrorServer server;
    Settings settings;
    StatusLine status;
    DisplayState display;
    ProductLists lists;
    std::unique_ptr<BulletinDisplay> bulletin;
    std::unique_ptr<MirrorFetcher> fetcher;
    std::unique_ptr<ProductRequests> requests;

    RequestFixture()
    {
        settings.TextPath = home.path() + QStringLiteral("/text/");
        settings.TransferPath = home.path() + QStringLiteral("/transfer/");
        QDir().mkpath(settings.TextPath);
        QDir().mkpath(settings.TransferPath);
        store.write(QStringLiteral("Config"), QStringLiteral("InternetMirror1"), server.base());
        store.write(QStringLiteral("Config"), QStringLiteral("InternetMirror2"),
                    server.base() + QStringLiteral("fallback/"));
        bulletin = std::make_unique<BulletinDisplay>(settings, display, status, prompter);
        fetcher = std::make_unique<MirrorFetcher>();
        const QString programDir = home.path() + QStringLiteral("/prog/");
        requests = std::make_unique<ProductRequests>(
            ProductRequests::Context{programDir, settings, store, lists, display, status, prompter},
            *bulletin, *fetcher);
    }
    QStringList transferFiles() const { return QDir(settings.TransferPath).entryList(QDir::Files); }
};

} // namespace

class TestProductRequests : public QObject
{
    Q_OBJECT
private slots:
    void listingPattern_data()
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
    void listingPattern()
    {
        QFETCH(QStringList, request);
        QFETCH(QString, pattern);
        QCOMPARE(ProductRequests::listingPattern(request[0], request[1], request[2], request[3]),
                 pattern);
    }
    void categoryWithTwoCodes()
    {
        Fixture f;
        for (const char* key : {"TORGRR   ~KGRR~MI", "SVRDTX   ~KDTX~MI", "AFDGRR   ~KGRR~MI"})
            f.product(QLatin1String(key));
        f.lists.showList(ListKind::Live);
        f.requests->listCategory(QStringLiteral("TORSVR"));
        QCOMPARE(f.requests->listingRequest(), (QStringList{"TOR", "SVR", "ZZZ", "ZZZ"}));
        QCOMPARE(f.list1(), (QStringList{"SVRDTX   ~KDTX~MI", "TORGRR   ~KGRR~MI"}));
        QCOMPARE(f.lists.shownList(), ListKind::Filtered);
        // Colours were applied: TOR is red on black.
        QCOMPARE(f.lists.filtered().entry(1).foreground, QColor(255, 0, 0));
    }
    void allTextProducts()
    {
        Fixture f;
        f.product(kAfd);
        f.product(QStringLiteral("RADGRRMI.GIF"));
        f.requests->setListingRequest(QStringLiteral("TOR"));
        f.requests->listAllBulletins();
        QCOMPARE(f.list1(), QStringList{kAfd});
        QCOMPARE(f.requests->listingRequest().first(), QString());
    }
    void searchBox()
    {
        Fixture f;
        f.product(kAfd);
        f.product(QStringLiteral("AFDDTX   ~KDTX~MI"));
        f.product(QStringLiteral("AFDBOX   ~KBOX~MA"));
        QVERIFY(!f.requests->searchStateOrOffice(QStringLiteral("M")));
        QVERIFY(f.requests->searchStateOrOffice(QStringLiteral("mi")));
        QCOMPARE(f.list1().size(), 2);
        QVERIFY(f.requests->searchStateOrOffice(QStringLiteral("BOX")));
        QCOMPARE(f.list1(), QStringList{"AFDBOX   ~KBOX~MA"});
        QCOMPARE(f.requests->listingRequest().first(), QStringLiteral("BOXWFOSEARCH"));
        QVERIFY(!f.requests->searchStation(QStringLiteral("KGR")));
        QVERIFY(f.requests->searchStation(QStringLiteral("KGRR")));
        QCOMPARE(f.list1(), QStringList{kAfd});
        // A typed path is refused with a message, not listed.
        QVERIFY(f.requests->searchStateOrOffice(QStringLiteral("/.")));
        QCOMPARE(f.prompter.messages.size(), 1);
    }
    void buttonShortNameNoneFound()
    {
        Fixture f;
        f.requests->productButton(QStringLiteral("TOR"));
        QCOMPARE(f.list1(), QStringList{ProductLists::NoneFound});
        f.product(QStringLiteral("TORGRR   ~KGRR~MI"));
        f.requests->productButton(QStringLiteral("TOR"));
        QCOMPARE(f.list1(), QStringList{"TORGRR   ~KGRR~MI"});
    }
    void buttonByReceiptAndZone()
    {
        Fixture f;
        f.product(kAfd, "AREA FORECAST DISCUSSION");
        f.receipt(QStringLiteral("AFDGRRMI"), kAfd);
        f.requests->productButton(QStringLiteral("AFDGRRMI"));
        QCOMPARE(f.display.tag(), kAfd);
        QCOMPARE(f.display.text(), QStringLiteral("AREA FORECAST DISCUSSION"));

        QStringList asked;
        f.requests->setZoneFinder([&](const QString& code, const QString& product) {
            asked << code + QLatin1Char('|') + product;
            return std::optional<QString>(QStringLiteral("SEGMENT"));
        });
        f.requests->productButton(QStringLiteral("AFDGRR!MIZ050"));
        QCOMPARE(asked, QStringList{"MIZ050|" + kAfd});
        QCOMPARE(f.display.text(), QStringLiteral("SEGMENT"));
        QCOMPARE(f.display.tag(), kAfd);

        f.requests->productButton(QStringLiteral("ZFPXXX"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QCOMPARE(f.display.tag(), QString());
        QCOMPARE(asked.size(), 1);
    }
    void quickItems()
    {
        Fixture f;
        f.product(kAfd, "AFD TEXT");
        f.product(QStringLiteral("SWODY1   ~KWNS~US"), "SWO TEXT");
        f.receipt(QStringLiteral("SWODY1US"), QStringLiteral("SWODY1   ~KWNS~US"));
        f.requests->quickItem(QStringLiteral("AFDGRR!"));
        QCOMPARE(f.display.text(), QStringLiteral("AFD TEXT"));
        f.requests->quickItem(QStringLiteral("SWODY1US.TXT"));
        QCOMPARE(f.display.text(), QStringLiteral("SWO TEXT"));
        f.requests->quickItem(QStringLiteral("NOPE!"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        f.requests->quickItem(QStringLiteral("SWO"));
        QCOMPARE(f.list1(), QStringList{"SWODY1   ~KWNS~US"});
    }
    void olderAndNewer()
    {
        Fixture f;
        f.product(kAfd, "V0");
        for (int v = 1; v <= 11; ++v)
            f.product(kAfd + QStringLiteral(".%1").arg(v), QStringLiteral("V%1").arg(v).toLatin1());
        f.bulletin->DisplayProd(kAfd);
        f.requests->showOtherVersion(1); // newer than the newest: the same file
        QCOMPARE(f.display.tag(), kAfd);
        f.requests->showOtherVersion(0);
        QCOMPARE(f.display.tag(), kAfd + ".1");
        f.requests->showOtherVersion(0);
        QCOMPARE(f.display.tag(), kAfd + ".2"); // numeric order, not .10 after .1
        f.bulletin->DisplayProd(kAfd + ".9");
        f.requests->showOtherVersion(0);
        QCOMPARE(f.display.tag(), kAfd + ".10");
        f.requests->showOtherVersion(0);
        f.requests->showOtherVersion(0);
        QCOMPARE(f.display.tag(), kAfd + ".11"); // the oldest stays
        f.requests->showOtherVersion(1);
        QCOMPARE(f.display.tag(), kAfd + ".10");
        f.display.setDisplay(QStringLiteral("message"), QString());
        f.requests->showOtherVersion(0);
        QCOMPARE(f.display.text(), QStringLiteral("message"));
    }
    void manualEntryLocal()
    {
        Fixture f;
        f.product(kAfd, "AFD");
        f.requests->requestByName(QStringLiteral("afd.rr"));
        QCOMPARE(f.display.tag(), kAfd);
        f.receipt(QStringLiteral("AFDGRRMI"), kAfd);
        f.display.setDisplay(QString(), QString());
        f.requests->requestByName(QStringLiteral("AFDGRRMI"));
        QCOMPARE(f.display.tag(), kAfd);
        f.requests->requestByName(QStringLiteral("ZFPGRRMI"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        f.requests->requestByName(QStringLiteral("SAHOURLY"));
        QCOMPARE(f.display.text(), BulletinDisplay::TooLarge);
        QVERIFY(!f.requests->fetching());
    }
    void manualEntryRefusesHostileNames()
    {
        Fixture f;
        f.home.write(QStringLiteral("secret.txt"), "SECRET");
        f.requests->setInternetMode(true);
        f.requests->requestByName(QStringLiteral("../SECRET.TXT"));
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(!f.requests->fetching());
        QVERIFY(!f.display.text().contains(QStringLiteral("SECRET")));
    }
    void listClicks()
    {
        Fixture f;
        f.product(kAfd, "AFD");
        ProductLists& lists = f.lists;
        lists.filtered().append(ProductLists::NoneFound);
        f.requests->openListEntry(ListKind::Filtered, 0);
        QCOMPARE(lists.filtered().count(), 0);
        lists.filtered().append(kAfd.toLower());
        f.requests->openListEntry(ListKind::Filtered,
                                  0); // filtered entries are taken in upper case
        QCOMPARE(f.display.tag(), kAfd);

        lists.live().insertTop(
            QStringLiteral("GRR~Area Forecast Discussion%1+").arg(QString(16, ' ')) + kAfd,
            ProductLists::Cap);
        f.display.setDisplay(QString(), QString());
        f.requests->openListEntry(ListKind::Live, 0);
        QCOMPARE(f.display.tag(), kAfd);
        lists.local().insertTop(QStringLiteral("DATA.ZIP.Z"), ProductLists::Cap);
        f.requests->openListEntry(ListKind::Local, 0);
        QCOMPARE(f.display.text(), ProductRequests::ZippedMessage);
        lists.alarmed().insertTop(QStringLiteral("RADGRRMI.GIF"), 0);
        QSignalSpy image(f.requests.get(), &ProductRequests::imageRequested);
        f.requests->openListEntry(ListKind::Alarmed, 0);
        QCOMPARE(image.count(), 1);
        f.requests->openListEntry(ListKind::Alarmed, 5); // past the end: nothing
        f.requests->openListEntry(ListKind::Alarmed, -1);
        QCOMPARE(image.count(), 1);
    }
    void gphWithoutPath()
    {
        Fixture f;
        RecordingLauncher keysLauncher;
        XdotoolKeystrokes keys(keysLauncher);
        GphViewer viewer(f.settings, f.display, f.status, f.launcher, keys);
        f.requests->setGphViewer(&viewer);
        f.lists.filtered().append(QStringLiteral("GPH123.GPH"));
        f.requests->openListEntry(ListKind::Filtered, 0);
        QCOMPARE(f.display.text(), GphViewer::NoPath);
        QVERIFY(f.launcher.commandLines.isEmpty());
        f.settings.GPHPath = QStringLiteral("/opt/gph/");
        f.settings.AFOSPath = QStringLiteral("/data/afos/");
        f.requests->openListEntry(ListKind::Filtered, 0);
        QCOMPARE(f.launcher.commandLines, QStringList{"\"/opt/gph/gphplot\""});
        QTRY_COMPARE_WITH_TIMEOUT(keysLauncher.commandLines.size(), 1, 10000);
        QVERIFY(keysLauncher.commandLines[0].endsWith(QStringLiteral(
            "key shift+F6 slash d a t a slash a f o s slash G P H 1 2 3 period G P H "
            "Return")));
    }
    void logAndStatus()
    {
        Fixture f;
        f.display.setDisplay(QStringLiteral("shown"), kAfd);
        f.requests->weatherFile(0);
        QCOMPARE(f.display.tag(), QString());
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: QuickWX\nError: 53")));
        f.home.write(QStringLiteral("prog/weather.txt"), "ALARM LOG\r\n");
        f.requests->weatherFile(0);
        QCOMPARE(f.display.text(), QStringLiteral("ALARM LOG\r\n"));
        f.requests->weatherFile(1);
        QVERIFY(!QFile::exists(f.programDir + QStringLiteral("weather.txt")));
        f.requests->weatherFile(1); // nothing to delete is no error
        f.home.write(QStringLiteral("prog/status.txt"), "STATUS");
        f.requests->weatherFile(2);
        QCOMPARE(f.display.text(), QStringLiteral("STATUS"));
        QCOMPARE(f.prompter.messages.size(), 1);
    }
    void autoUpdateRepeatsRequest()
    {
        Fixture f;
        f.requests->listCategory(QStringLiteral("TOR"));
        QCOMPARE(f.list1(), QStringList());
        f.product(QStringLiteral("TORGRR   ~KGRR~MI"));
        QVERIFY(!f.requests->autoUpdate());
        f.requests->setAutoUpdate(true);
        QVERIFY(f.requests->autoUpdate());
        f.requests->runListing(); // what the timer runs every 30 s
        QCOMPARE(f.list1(), QStringList{"TORGRR   ~KGRR~MI"});
        f.requests->setAutoUpdate(false);
        QVERIFY(!f.requests->autoUpdate());
    }
    void keysWithoutXdotool()
    {
        RecordingLauncher launcher;
        launcher.result = 0; // xdotool is not installed
        XdotoolKeystrokes keys(launcher);
        QVERIFY(!keys.sendKeys(QStringLiteral("GPH Viewer"), QStringLiteral("{ENTER}")));
        QCOMPARE(launcher.commandLines.size(), 1);
    }

    void keyNames_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("menu keys")
            << "%F{DOWN}{DOWN}{ENTER}" << QStringList{"key", "alt+f", "Down", "Down", "Return"};
        QTest::newRow("text then Enter")
            << "+{F6}/d/G1.GPH\r\n%L{ENTER}"
            << QStringList{"key",    "shift+F6", "slash", "d", "slash",  "G",     "1",
                           "period", "G",        "P",     "H", "Return", "alt+l", "Return"};
        QTest::newRow("text that looks like commands")
            << "key Return -x" << QStringList{"key", "k", "e", "y", "space", "R",     "e",
                                              "t",   "u", "r", "n", "space", "minus", "x"};
        QTest::newRow("braced specials")
            << "{+}{%}{}}~" << QStringList{"key", "plus", "percent", "braceright", "Return"};
        QTest::newRow("accented letter")
            << QString::fromUtf8("\xc3\xa9") << QStringList{"key", "U00E9"};
        QTest::newRow("nothing to press") << "" << QStringList{};
    }
    void keyNames()
    {
        QFETCH(QString, keys);
        QTEST(XdotoolKeystrokes::toXdotool(keys), "args");
    }
    void invocationFollowsTheManual_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("open a graphic") << "+{F6}/data/afos/GPH123.GPH\r\n";
        QTest::newRow("print") << "+{F6}/a/GPH1.GPH\r\n%F{DOWN}{DOWN}{DOWN}{ENTER}%L{ENTER}%F"
                                  "{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}";
        QTest::newRow("hostile text")
            << "+{F6}/x/\"; type --window 1 -- a b\" key ctrl+alt+Delete\r\n";
    }
    // "type" swallows every later argument as text, so it may only come last; an
    // argument starting with "-" is an option. Here only key presses follow the
    // window selection, each a keysym name with modifiers.
    void invocationFollowsTheManual()
    {
        QFETCH(QString, keys);
        const QStringList argv = ProcessLauncher::splitCommand(
            XdotoolKeystrokes::commandLine(QStringLiteral("GPH Viewer"), keys));
        QCOMPARE(argv.mid(0, 8), (QStringList{"xdotool", "search", "--name", "^GPH Viewer$",
                                              "windowraise", "windowfocus", "--sync", "key"}));
        static const QRegularExpression keysym(QStringLiteral(
            "^((shift|alt|ctrl)\\+)*([A-Za-z0-9]|[A-Za-z][A-Za-z0-9_]+|U[0-9A-F]{4})$"));
        for (const QString& arg : argv.mid(8)) {
            QVERIFY2(keysym.match(arg).hasMatch(), qPrintable(arg));
            QVERIFY2(!kCommands.contains(arg) && arg != QLatin1String("type"), qPrintable(arg));
        }
    }
    // The real program against a real window: the keys arrive in order, and the
    // text arrives as text.
    void keysReachTheWindow()
    {
        KeyWitness witness;
        if (!witness.start(QStringLiteral("GPH Viewer")))
            QSKIP("needs Xvfb, xev and xdotool");
        TestHome home;
        ProcessLauncher launcher(home.path() + QStringLiteral("/"));
        XdotoolKeystrokes keys(launcher);
        QVERIFY(keys.sendKeys(QStringLiteral("GPH Viewer"),
                              QStringLiteral("+{F6}/a/GPH1.GPH\r\n%F{DOWN}{ENTER}")));
        const QStringList expected = {"F6",     "slash", "a",      "slash", "G", "P",
                                      "H",      "1",     "period", "G",     "P", "H",
                                      "Return", "f",     "Down",   "Return"};
        QTRY_COMPARE_WITH_TIMEOUT(witness.pressed(), expected, 15000);
    }

    void replies_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("reason");
        QTest::newRow("found") << "TORGRRMI.TXT" << true << "";
        QTest::newRow("redirect followed") << "MOVED.TXT" << true << "";
        QTest::newRow("not found page") << "NOTFOUND.TXT" << false << "page cannot be found";
        QTest::newRow("empty") << "EMPTYREP.TXT" << false << "empty reply";
        QTest::newRow("404") << "E404.TXT" << false << "HTTP error 404";
        QTest::newRow("500") << "E500.TXT" << false << "HTTP error 500";
        QTest::newRow("binary") << "BINARY.TXT" << false << "not a text product";
        QTest::newRow("control characters") << "CONTROLS.TXT" << false << "not a text product";
        QTest::newRow("too large by header") << "LARGEHDR.TXT" << false << "reply larger than 5 MB";
        QTest::newRow("too large by size") << "LARGERUN.TXT" << false << "reply larger than 5 MB";
        QTest::newRow("redirect loop") << "LOOP.TXT" << false << "";
    }
    void replies()
    {
        QFETCH(QString, path);
        QFETCH(bool, found);
        QFETCH(QString, reason);
        MirrorServer server;
        MirrorFetcher fetcher;
        QSignalSpy done(&fetcher, &MirrorFetcher::finished);
        fetcher.fetch(QUrl(server.base() + path));
        QVERIFY(fetcher.busy());
        QVERIFY(done.wait(20000));
        QCOMPARE(done.count(), 1);
        QCOMPARE(done[0][0].toBool(), found);
        QVERIFY(!fetcher.busy());
        if (found)
            QCOMPARE(done[0][1].toByteArray(), kProduct);
        else
            QVERIFY(done[0][1].toByteArray().isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(done[0][2].toString(), reason);
        // the loop ends: the first request and the redirects allowed, each
        // of which the network layer may send twice when the server closed
        // a kept-alive connection under it (seen on a loaded machine)
        if (path.startsWith(QLatin1String("LOOP")))
            QVERIFY2(server.paths.size() <= 2 * (MirrorFetcher::MaxRedirects + 1),
                     qPrintable(server.paths.join(QLatin1Char(' '))));
    }
    void timeout()
    {
        MirrorServer server;
        MirrorFetcher fetcher;
        fetcher.setTimeout(300);
        QSignalSpy done(&fetcher, &MirrorFetcher::finished);
        fetcher.fetch(QUrl(server.base() + QStringLiteral("SILENT.TXT")));
        QVERIFY(done.wait(20000));
        QCOMPARE(done[0][0].toBool(), false);
    }
    void classify()
    {
        using V = MirrorFetcher::Verdict;
        QCOMPARE(MirrorFetcher::classify(kProduct), V::Found);
        QCOMPARE(MirrorFetcher::classify("  \r\n"), V::Empty);
        QCOMPARE(MirrorFetcher::classify(QByteArray("AB\0C", 4)), V::Binary);
        QCOMPARE(MirrorFetcher::classify("Sorry, the page cannot be found."), V::NotFoundPage);
        QCOMPARE(MirrorFetcher::classify("CAF\xc9 AU LAIT"), V::Found); // 8-bit text is text
    }
    void manualEntryFetchWritesTransferFile()
    {
        RequestFixture f;
        QSignalSpy enabled(f.requests.get(), &ProductRequests::manualEntryEnabled);
        f.requests->setInternetMode(true);
        f.requests->requestByName(QStringLiteral("torgrrmi"));
        QVERIFY(f.requests->fetching());
        QCOMPARE(f.display.text(), QStringLiteral("\r\n") + ProductRequests::Standby);
        QCOMPARE(f.display.tag(), QString());
        QCOMPARE(enabled.count(), 1);
        QCOMPARE(enabled[0][0].toBool(), false);
        QVERIFY(enabled.wait(20000));
        QCOMPARE(enabled[1][0].toBool(), true);
        QCOMPARE(f.server.paths, QStringList{"/TORGRRMI.TXT"});
        QCOMPARE(f.transferFiles(), QStringList{"TORGRRMI.TXT"});
        QCOMPARE(readBytes(f.settings.TransferPath + QStringLiteral("TORGRRMI.TXT")), kProduct);
        QCOMPARE(f.display.tag(), QStringLiteral("TORGRRMI"));
        QVERIFY(f.display.text().startsWith(QStringLiteral("123 \r\nWFUS53")));
    }
    void notFoundWritesNothing()
    {
        RequestFixture f;
        QSignalSpy enabled(f.requests.get(), &ProductRequests::manualEntryEnabled);
        f.requests->setInternetMode(true);
        f.requests->requestByName(QStringLiteral("NOTFOUND"));
        QVERIFY(enabled.wait(20000));
        QCOMPARE(f.transferFiles(), QStringList());
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QCOMPARE(f.display.tag(), QString());
        QVERIFY(!f.requests->fetching());
    }
    void fallbackMirrorAfterLocalMiss()
    {
        RequestFixture f;
        // Without InternetDL a local miss is just "not available".
        f.requests->requestByName(QStringLiteral("TORGRRMI"));
        QVERIFY(!f.requests->fetching());
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        f.settings.InternetDL = 1;
        QSignalSpy enabled(f.requests.get(), &ProductRequests::manualEntryEnabled);
        f.requests->requestByName(QStringLiteral("TORGRRMI"));
        QVERIFY(f.requests->fetching());
        QVERIFY(enabled.wait(20000));
        QCOMPARE(f.server.paths, QStringList{"/fallback/TORGRRMI.TXT"});
        // The fallback path of the test server does not exist: nothing written.
        QCOMPARE(f.transferFiles(), QStringList());
        // A name with a wildcard is never fetched.
        f.requests->requestByName(QStringLiteral("TORGRR.I"));
        QVERIFY(!f.requests->fetching());
    }
};

QTEST_GUILESS_MAIN(TestProductRequests)
#include "tst_productrequests.moc"
