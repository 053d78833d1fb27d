#include "TestSupport.h"
#include "display/BulletinDisplay.h"
#include "display/MirrorFetcher.h"
#include "display/ProductRequests.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

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

class TestMirrorFetcher : public QObject
{
    Q_OBJECT
private slots:
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
        if (path.startsWith(QLatin1String("LOOP")))
            QVERIFY2(server.paths.size() <= MirrorFetcher::MaxRedirects + 2,
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

QTEST_GUILESS_MAIN(TestMirrorFetcher)
#include "tst_mirrorfetcher.moc"
