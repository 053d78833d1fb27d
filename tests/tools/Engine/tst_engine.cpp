#include "../lib/broadcast/CorpusStream.h"
#include "EngineOptions.h"
#include "InternetEngine.h"
#include "ServerList.h"
#include "ServerProbe.h"
#include "TestSupport.h"
#include "ingest/EngineLink.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// A stream server for the tests, on 127.0.0.1: records the logons it gets and
// then sends its stream (XORed) in pieces. It can hang up on a V2 logon, as a
// server that only speaks V1 does, or stay silent.
class StreamServer : public QObject
{
public:
    explicit StreamServer(QByteArray stream) : m_wire(PacketEncoder::xored(std::move(stream)))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &StreamServer::accept);
    }
    ~StreamServer() override { stop(); }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    void stop()
    {
        m_server.close();
        for (QTcpSocket* s : std::as_const(m_clients))
            s->abort();
        m_clients.clear();
    }

    bool rejectV2 = false;
    bool silent = false;
    bool hangUpAfterSending = false; // closes once the stream is sent
    bool trickleZeros = false;       // sends a 0x00 now and then, nothing else
    QList<QByteArray> logons;        // as decoded
    int connections = 0;

private:
    void accept()
    {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            ++connections;
            m_clients << s;
            connect(s, &QTcpSocket::readyRead, this, [this, s] { readLogon(s); });
        }
    }
    void readLogon(QTcpSocket* s)
    {
        const QByteArray logon = PacketEncoder::xored(s->readAll());
        logons << logon;
        if (rejectV2 && logon.endsWith("|V2")) {
            s->disconnectFromHost();
            return;
        }
        if (silent || s->property("sending").toBool())
            return;
        s->setProperty("sending", true);
        auto* timer = new QTimer(s);
        if (trickleZeros) {
            connect(timer, &QTimer::timeout, s,
                    [s] { s->write(PacketEncoder::xored(QByteArray(1, '\0'))); });
            timer->start(50);
            return;
        }
        connect(timer, &QTimer::timeout, s, [s, timer, this, sent = qsizetype(0)]() mutable {
            const QByteArray piece = m_wire.mid(sent, 3000 + sent % 1777);
            if (piece.isEmpty()) {
                timer->stop();
                if (hangUpAfterSending)
                    s->disconnectFromHost();
                return;
            }
            s->write(piece);
            sent += piece.size();
        });
        timer->start(0);
    }

    QByteArray m_wire;
    QTcpServer m_server;
    QList<QTcpSocket*> m_clients;
};

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        const QString runtime = m_home->file(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        SettingsStore store;
        store.write(QStringLiteral("Config"), QStringLiteral("EMail0"),
                    QStringLiteral("wx@example.org"));
        store.sync();
    }
    void cleanup()
    {
        if (m_engine && m_engine->state() != QProcess::NotRunning) {
            m_engine->kill();
            m_engine->waitForFinished(5000);
        }
        m_engine.reset();
        m_home.reset();
    }
    void serverAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parsed"); // empty: refused
        QTest::newRow("name") << "emwin.example.org:2211"
                              << "emwin.example.org:2211";
        QTest::newRow("address") << "192.0.2.7:1000"
                                 << "192.0.2.7:1000";
        QTest::newRow("blanks around") << " host:2211 \r\n"
                                       << "host:2211";
        QTest::newRow("no port") << "host"
                                 << "";
        QTest::newRow("port zero") << "host:0"
                                   << "";
        QTest::newRow("port too large") << "host:65536"
                                        << "";
        QTest::newRow("empty host") << ":2211"
                                    << "";
        QTest::newRow("blank inside") << "ho st:2211"
                                      << "";
        QTest::newRow("option-like") << "-oProxy:22"
                                     << "";
        QTest::newRow("garbage") << "\x01\x02:12"
                                 << "";
    }
    void serverAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, parsed);
        const auto server = ServerList::parseServer(text);
        QCOMPARE(server ? server->text() : QString(), parsed);
    }
    void serverListFrames_data()
    {
        QTest::addColumn<QStringList>("known");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QStringList>("after");

        QTest::newRow("received list after the user's")
            << QStringList{"a:1", "b:2"}
            << QByteArray("/ServerList/c:3|d:4|e:5\\ServerList\\/SatServers/f:6+g:7\\SatServers\\")
            << QStringList{"a:1", "b:2", "c:3", "d:4", "e:5"};
        QTest::newRow("user's server in the received list stays first")
            << QStringList{"a:1"} << QByteArray("/ServerList/c:3|a:1|d:4\\ServerList\\")
            << QStringList{"a:1", "c:3", "d:4"};
        QByteArray many("/ServerList/");
        QStringList capped{"a:1"};
        for (int i = 1; i <= 40; ++i) {
            many += QByteArray("h") + QByteArray::number(i) + ":2211|";
            if (i <= ServerList::MaxReceived)
                capped << QStringLiteral("h%1:2211").arg(i);
        }
        QTest::newRow("received list capped") << QStringList{"a:1"} << many << capped;
        QTest::newRow("malformed entries left out")
            << QStringList{} << QByteArray("/ServerList/c:3|bad|d:99999||c:3|e:5\\ServerList\\")
            << QStringList{"c:3", "e:5"};
        QTest::newRow("shrunk to one: added, not replaced")
            << QStringList{"a:1", "b:2"} << QByteArray("/ServerList/c:3\\ServerList\\")
            << QStringList{"a:1", "b:2", "c:3"};
        QTest::newRow("one that is known")
            << QStringList{"a:1", "b:2"} << QByteArray("/ServerList/b:2\\ServerList\\")
            << QStringList{"a:1", "b:2"};
        QTest::newRow("empty list ignored")
            << QStringList{"a:1", "b:2"} << QByteArray("/ServerList/\\ServerList\\")
            << QStringList{"a:1", "b:2"};
        QTest::newRow("no end marker")
            << QStringList{} << QByteArray("/ServerList/c:3|d:4") << QStringList{"c:3", "d:4"};
    }
    // Lists sent by servers, adopted and kept on disk.
    void serverListFrames()
    {
        QFETCH(QStringList, known);
        QFETCH(QByteArray, frame);
        QFETCH(QStringList, after);
        ServerList list;
        QList<ServerList::Server> servers;
        for (const QString& s : known)
            servers << *ServerList::parseServer(s);
        list.setServers(servers);
        list.adopt(ServerList::parseFrame(frame));
        QStringList result;
        for (const auto& s : list.servers())
            result << s.text();
        QCOMPARE(result, after);
        // after a pass through every candidate the user's own come first again
        for (int i = 0; i < list.servers().size(); ++i)
            list.advance();
        if (!known.isEmpty())
            QCOMPARE(list.current().text(), known.first());

        // kept on disk apart from the user's list, which is never written here
        QTemporaryDir dir;
        QVERIFY(list.saveReceived(dir.filePath("received.txt")));
        ServerList again;
        again.setServers(servers);
        QVERIFY(again.loadReceived(dir.filePath("received.txt")));
        QCOMPARE(again.servers(), list.servers());
        QCOMPARE(list.userServers(), servers);
    }
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("servers");
        QTest::addColumn<QString>("dataIn");
        QTest::addColumn<bool>("headless");
        QTest::addColumn<bool>("failed");

        QTest::newRow("none") << QStringList{"Engine"} << QStringList{} << "" << false << false;
        QTest::newRow("all") << QStringList{"Engine",    "--server", "a:1",       "--server=b:2",
                                            "--data-in", "/x/in",    "--headless"}
                             << QStringList{"a:1", "b:2"} << "/x/in" << true << false;
        QTest::newRow("bad server")
            << QStringList{"Engine", "--server", "a"} << QStringList{} << "" << false << true;
        QTest::newRow("unknown option")
            << QStringList{"Engine", "--fast"} << QStringList{} << "" << false << true;
        QTest::newRow("stray argument")
            << QStringList{"Engine", "x"} << QStringList{} << "" << false << true;
        QTest::newRow("bad seconds")
            << QStringList{"Engine", "--dead-seconds", "0"} << QStringList{} << "" << false << true;
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, failed);
        const EngineOptions o = EngineOptions::parse(arguments);
        QCOMPARE(!o.error.isEmpty(), failed);
        if (failed)
            return;
        QTEST(o.servers, "servers");
        QTEST(o.dataIn, "dataIn");
        QTEST(o.headless, "headless");
    }
    void v2StreamWritesEachProductOnce()
    {
        CorpusStreamOptions o;
        o.serverList = PacketEncoder::serverListFrame(
            {"one.example:2211", "bad entry", "two.example:1000"}, {"sat.example:2211"});
        const CorpusStream corpus = buildCorpusStream(o);
        StreamServer server(corpus.stream);
        startEngine({server.address()});
        expectExactly(corpus.expected, corpus.files);
        QVERIFY(!server.logons.isEmpty());
        QCOMPARE(server.logons.first(), QByteArray("ByteBlast Client|NM-wx@example.org|V2"));
        // the list the server sent is kept for the next start, apart from the user's
        QCOMPARE(readBytes(m_home->file(".local/share/vantorel/engine-servers-received.txt")),
                 QByteArray("one.example:2211\ntwo.example:1000\n"));
        QVERIFY(!QFile::exists(m_home->file(".local/share/vantorel/engine-servers.txt")));
        stopEngine();
        QVERIFY2(m_log.contains("Wrote "), m_log.constData());
    }
    void failsOverToTheNextServer()
    {
        CorpusStreamOptions first;
        first.count = 60;
        const CorpusStream part = buildCorpusStream(first);
        CorpusStreamOptions all;
        all.count = 120;
        const CorpusStream whole = buildCorpusStream(all);
        StreamServer a(part.stream);
        StreamServer b(whole.stream);
        startEngine({a.address(), b.address()});
        QTRY_VERIFY_WITH_TIMEOUT(fileCount(dataIn()) >= part.files, 30000);
        QCOMPARE(b.connections, 0);
        a.stop();
        // the first part comes again from the second server and is not written twice
        expectExactly(whole.expected, whole.files);
        QCOMPARE(b.connections, 1);
        stopEngine();
        QVERIFY(m_log.contains("Connected to " + b.address().toLatin1()));
    }
    void v1OnlyServer()
    {
        CorpusStreamOptions o;
        o.count = 40;
        o.compressed = false;
        const CorpusStream corpus = buildCorpusStream(o);
        StreamServer server(corpus.stream);
        server.rejectV2 = true;
        startEngine({server.address()});
        expectExactly(corpus.expected, corpus.files);
        QVERIFY(server.logons.size() >= 2);
        QVERIFY(server.logons.first().endsWith("|V2"));
        QVERIFY(server.logons.last().endsWith("|V1"));
        stopEngine();
    }
    void deadConnectionIsLeft()
    {
        CorpusStreamOptions o;
        o.count = 10;
        const CorpusStream corpus = buildCorpusStream(o);
        StreamServer quiet(QByteArray{});
        quiet.silent = true;
        StreamServer good(corpus.stream);
        startEngine({quiet.address(), good.address()}, {"--dead-seconds", "1"});
        expectExactly(corpus.expected, corpus.files);
        QVERIFY(quiet.connections >= 1);
        stopEngine();
        QVERIFY(m_log.contains("connection dead"));
    }
    // The user's servers survive lists sent by servers, on disk too, and are
    // tried again after a round through the advertised ones.
    void receivedListsKeepTheUsersServers()
    {
        CorpusStreamOptions o;
        o.count = 12;
        o.serverList = PacketEncoder::serverListFrame({"127.0.0.1:1", "127.0.0.1:2"}, {});
        const CorpusStream corpus = buildCorpusStream(o);
        StreamServer server(corpus.stream);
        server.hangUpAfterSending = true;
        const QString userList = m_home->write(".local/share/vantorel/engine-servers.txt",
                                               server.address().toLatin1() + "\n");
        startEngine({});
        QTRY_VERIFY_WITH_TIMEOUT(fileCount(dataIn()) >= corpus.files, 30000);
        // hung up: the advertised (dead) servers are tried, then the user's again
        QTRY_VERIFY2_WITH_TIMEOUT(server.connections >= 2, m_log.right(2000).constData(), 20000);
        QCOMPARE(readBytes(userList), server.address().toLatin1() + "\n");
        stopEngine();
    }
    // A server that sends its list and hangs up is not called again and again.
    void serverThatOnlyHangsUpIsBackedOff()
    {
        StreamServer server(PacketEncoder::serverListFrame({"127.0.0.1:1"}, {}));
        server.hangUpAfterSending = true;
        InternetEngine::Config c;
        c.dataIn = dataIn();
        c.serverListPath = m_home->file(QStringLiteral("servers.txt"));
        c.fixedServers << *ServerList::parseServer(server.address());
        c.timing.firstPauseMs = 200;
        c.timing.longestPauseMs = 800;
        c.timing.hopMs = 10;
        InternetEngine engine(c);
        QStringList log;
        connect(&engine, &InternetEngine::logMessage, this, [&](const QString& t) { log << t; });
        engine.start();
        QTRY_VERIFY2_WITH_TIMEOUT(log.filter(QStringLiteral("No server delivered")).size() >= 3,
                                  qPrintable(QString::number(server.connections)), 10000);
        QVERIFY2(server.connections <= 5, qPrintable(QString::number(server.connections)));
        engine.stop();
    }
    // Bytes that decode to no packet do not keep a connection alive.
    void trickleOfZerosIsADeadConnection()
    {
        StreamServer server{QByteArray()};
        server.trickleZeros = true;
        InternetEngine::Config c;
        c.dataIn = dataIn();
        c.serverListPath = m_home->file(QStringLiteral("servers.txt"));
        c.fixedServers << *ServerList::parseServer(server.address());
        c.timing.deadMs = 500;
        InternetEngine engine(c);
        QStringList log;
        connect(&engine, &InternetEngine::logMessage, this, [&](const QString& t) { log << t; });
        engine.start();
        QTRY_VERIFY_WITH_TIMEOUT(!log.filter(QStringLiteral("connection dead")).isEmpty(), 8000);
        engine.stop();
    }
    void secondEngineForTheSameDataInExits()
    {
        StreamServer server{QByteArray()};
        server.silent = true;
        startEngine({server.address()});
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains("Connecting to"), 10000);
        QProcess second;
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(QStringLiteral(VANTOREL_ENGINE_PROGRAM),
                     {"--headless", "--data-in", dataIn(), "--server", server.address()});
        QVERIFY(second.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 10000);
        QVERIFY(second.exitCode() != 0);
        const QByteArray said = second.readAll();
        QVERIFY2(said.contains("already"), said.constData());
        QCOMPARE(m_engine->state(), QProcess::Running);
        stopEngine();
    }
    // A service manager stops the engine with SIGTERM: it ends as on SHUTDOWN
    // (pending writes handled, lock released), not killed mid-write.
    void terminationSignalStopsLikeShutdown()
    {
        StreamServer server{QByteArray()};
        server.silent = true;
        startEngine({server.address()});
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains("Connecting to"), 10000);
        m_engine->terminate();
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), QProcess::NotRunning, 10000);
        QCOMPARE(m_engine->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_engine->exitCode(), 0);
        QVERIFY2(m_log.contains("Engine stopped"), m_log.constData());
        startEngine({server.address()}); // the lock went with it
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains("Connecting to"), 10000);
        stopEngine();
    }
    // The program took the products; sent again after a restart, they are not
    // written a second time.
    void repeatsAfterARestartAreDropped()
    {
        CorpusStreamOptions o;
        o.count = 8;
        o.corruptEvery = 1000;
        const CorpusStream corpus = buildCorpusStream(o);
        {
            StreamServer server(corpus.stream);
            startEngine({server.address()});
            expectExactly(corpus.expected, corpus.files);
            stopEngine();
        }
        for (const QString& name : QDir(dataIn()).entryList(QDir::Files))
            QVERIFY(QFile::remove(QDir(dataIn()).filePath(name)));
        CorpusStreamOptions next;
        next.first = 8;
        next.count = 1;
        const CorpusStream marker = buildCorpusStream(next);
        StreamServer server(corpus.stream + marker.stream);
        startEngine({server.address()});
        expectExactly(marker.expected, 1);
        stopEngine();
    }
    void probe_data()
    {
        QTest::addColumn<QString>("server"); // "good", "closed"
        QTest::addColumn<QString>("said");   // a regular expression
        QTest::newRow("a server sending")
            << "good"
            << "^Connected, [1-9][0-9]* packets, 6 files in [0-9.]+ s";
        QTest::newRow("nobody listening") << "closed"
                                          << "^Could not connect: ";
    }
    // "Test" in the server window: one connection, a short account of it.
    void probe()
    {
        QFETCH(QString, server);
        CorpusStreamOptions o;
        o.count = 6;
        const CorpusStream corpus = buildCorpusStream(o);
        StreamServer stream(corpus.stream);
        stream.hangUpAfterSending = true;
        QString address = stream.address();
        if (server == QLatin1String("closed"))
            stream.stop();
        ServerProbe probe(QStringLiteral("wx@example.org"));
        probe.setDuration(5000);
        QSignalSpy done(&probe, &ServerProbe::finished);
        probe.start(*ServerList::parseServer(address));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        const QString text = done.first().first().toString();
        QFETCH(QString, said);
        QVERIFY2(QRegularExpression(said).match(text).hasMatch(), qPrintable(text));
    }

private:
    void startEngine(const QStringList& servers, const QStringList& extra = {})
    {
        QStringList arguments{QStringLiteral("--headless"), QStringLiteral("--data-in"), dataIn()};
        for (const QString& s : servers)
            arguments << QStringLiteral("--server") << s;
        m_engine = std::make_unique<QProcess>();
        m_engine->setProcessChannelMode(QProcess::MergedChannels);
        m_log.clear();
        connect(m_engine.get(), &QProcess::readyRead, this,
                [this] { m_log += m_engine->readAll(); });
        m_engine->start(QStringLiteral(VANTOREL_ENGINE_PROGRAM), arguments + extra);
        QVERIFY(m_engine->waitForStarted(5000));
    }
    // The engine obeys "SHUTDOWN" sent the way the program sends it.
    void stopEngine()
    {
        EngineLink link;
        link.send(QStringLiteral("SHUTDOWN"));
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), QProcess::NotRunning, 10000);
        QCOMPARE(m_engine->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_engine->exitCode(), 0);
    }
    void expectExactly(const QMap<QByteArray, int>& expected, int files)
    {
        QTRY_VERIFY2_WITH_TIMEOUT(fileCount(dataIn()) >= files, m_log.right(3000).constData(),
                                  60000);
        stopEngine(); // the engine has ended: nothing more can come
        QStringList names;
        const QMap<QByteArray, int> received = directoryContents(dataIn(), &names);
        QCOMPARE(names.size(), files);
        QVERIFY(received == expected);
        for (const QString& name : names)
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name));
    }
    QString dataIn() const { return m_home->file(QStringLiteral("datain")); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QProcess> m_engine;
    QByteArray m_log; // what the engine printed
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
