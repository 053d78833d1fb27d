#include "EngineCommandServer.h"
#include "EngineHost.h"
#include "EngineLock.h"
#include "IngestPipeline.h"
#include "IngestWindow.h"
#include "TestSupport.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

namespace {
const QString kProgram = QStringLiteral("TestEngine");

struct Printed
{
    QStringList out;
    QStringList err;
};

// An engine host with its lines captured, in a runtime directory of its own.
class HostFixture
{
    QTemporaryDir m_runtime; // goes last: the host's lock and socket are in it
    int m_argc = 1;
    char m_name[11] = "TestEngine";
    char* m_argv[2] = {m_name, nullptr};

public:
    explicit HostFixture(bool headless)
    {
        QFile::setPermissions(m_runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        EngineHost::CommandLine line;
        line.headless = headless;
        host = std::make_unique<EngineHost>(kProgram, line, m_argc, m_argv);
        host->setPrinter([this](const QString& text, bool isError) {
            (isError ? printed.err : printed.out) << text;
        });
    }

    Printed printed;
    std::unique_ptr<EngineHost> host;
};

QStringList messages(const IngestWindow& window)
{
    QStringList lines;
    const auto* list = window.findChild<QListWidget*>(QStringLiteral("messages"));
    for (int i = 0; list && i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}
} // namespace

class TestEngineHost : public QObject
{
    Q_OBJECT
private slots:
    void runServesCommandsAndSignals_data()
    {
        QTest::addColumn<bool>("windowed");
        // Empty: SIGTERM instead. With a window, "END" is sent last; once it is
        // answered the window's visibility is taken and SHUTDOWN sent.
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("notPrinted");
        QTest::addColumn<QStringList>("inWindow");
        QTest::addColumn<bool>("visibleAfter");
        const QStringList engineLines = {QStringLiteral("engine says hello"),
                                         QStringLiteral("Wrote /in/A.TXT")};
        const QStringList none;
        QTest::newRow("headless shutdown")
            << false << QByteArray("SHUTDOWN\n")
            << QStringList{QStringLiteral("Writing products into /in/"),
                           QStringLiteral("TestEngine stopped: 0 blocks, 0 written"),
                           QStringLiteral("stop called")} +
                   engineLines
            << none << none << false;
        QTest::newRow("headless hide")
            << false << QByteArray("HIDE\nSHUTDOWN\n")
            << QStringList{QStringLiteral("HIDE: no window to hide")} << none << none << false;
        QTest::newRow("headless show")
            << false << QByteArray("SHOW\nSHUTDOWN\n")
            << QStringList{QStringLiteral("SHOW: no window to show")} << none << none << false;
        QTest::newRow("headless unknown command")
            << false << QByteArray("FORMAT\nSHUTDOWN\n")
            << QStringList{QStringLiteral("Unknown engine command ignored: FORMAT")} << none << none
            << false;
        QTest::newRow("termination signal")
            << false << QByteArray()
            << QStringList{QStringLiteral("Signal %1: stopping").arg(SIGTERM),
                           QStringLiteral("stop called"), QStringLiteral("TestEngine stopped")}
            << none << none << false;
        QTest::newRow("window hide")
            << true << QByteArray("HIDE\nEND\n")
            << QStringList{QStringLiteral("TestEngine stopped: 0 blocks")}
            << QStringList{QStringLiteral("HIDE: no window to hide")} + engineLines << none
            << false;
        QTest::newRow("window hide, show")
            << true << QByteArray("HIDE\nSHOW\nEND\n") << none
            << QStringList{QStringLiteral("SHOW: no window to show")} << none << true;
        QTest::newRow("window unknown command")
            << true << QByteArray("FORMAT\nEND\n") << none
            << QStringList{QStringLiteral("Unknown engine command ignored: FORMAT")}
            << QStringList{QStringLiteral("Unknown engine command ignored: FORMAT")} << true;
        // an engine without a stream has a window without counters ("NOSTREAM")
        QTest::newRow("window without stream, hide")
            << true << QByteArray("NOSTREAM\nHIDE\nEND\n") << none
            << QStringList{QStringLiteral("HIDE: no window to hide")} << none << false;
    }
    // What the program's commands and a service manager's signal do to a running
    // engine, with and without its window; the engine's own lines are printed
    // only without a window.
    void runServesCommandsAndSignals()
    {
        QFETCH(bool, windowed);
        QFETCH(QByteArray, sent);
        HostFixture f(!windowed);
        IngestPipeline pipeline(false, QStringLiteral("/in/"));
        f.host->printMessagesFrom(&pipeline, &IngestPipeline::logMessage);
        f.host->printWritesFrom(&pipeline, &IngestPipeline::fileWritten);
        f.host->setSummary([&pipeline] { return EngineHost::summaryOf(pipeline.counters()); });
        std::unique_ptr<IngestWindow> window;
        if (windowed) {
            window = sent.startsWith("NOSTREAM") ? std::make_unique<IngestWindow>()
                                                 : std::make_unique<IngestWindow>(pipeline);
            f.host->setWindow(window.get());
        }
        QLocalSocket client;
        bool visibleAfter = false;
        if (window) {
            const auto* list = window->findChild<QListWidget*>(QStringLiteral("messages"));
            connect(list->model(), &QAbstractItemModel::rowsInserted, this, [&, list] {
                if (!list->item(0)->text().endsWith(QStringLiteral("ignored: END")))
                    return;
                visibleAfter = window->isVisible();
                client.write("SHUTDOWN\n");
                client.flush();
            });
        }
        bool timedOut = false;
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, this, [&timedOut] {
            timedOut = true;
            QCoreApplication::quit();
        });
        const auto start = [&] {
            bound.start(10000);
            emit pipeline.logMessage(QStringLiteral("engine says hello"));
            emit pipeline.fileWritten(QStringLiteral("/in/A.TXT"));
            if (sent.isEmpty()) {
                ::raise(SIGTERM);
                return;
            }
            client.connectToServer(EngineCommandServer::serverPathFor(kProgram));
            QVERIFY(client.waitForConnected(2000));
            client.write(sent);
            client.flush();
        };
        const int status =
            f.host->run(QStringLiteral("/in/"), start, [&f] { f.printed.out << "stop called"; });
        QVERIFY(!timedOut);
        QCOMPARE(status, 0);
        const QString out = f.printed.out.join(QLatin1Char('\n'));
        QFETCH(QStringList, printed);
        for (const QString& line : printed)
            QVERIFY2(out.contains(line), qPrintable(line + QStringLiteral(" not in:\n") + out));
        QFETCH(QStringList, notPrinted);
        for (const QString& line : notPrinted)
            QVERIFY2(!out.contains(line), qPrintable(line));
        QVERIFY(f.printed.err.isEmpty());
        if (window) {
            QFETCH(QStringList, inWindow);
            const QString shown = messages(*window).join(QLatin1Char('\n'));
            for (const QString& line : inWindow)
                QVERIFY2(shown.contains(line), qPrintable(line));
            QTEST(visibleAfter, "visibleAfter");
        }
    }
    void lockKeepsOneEnginePerDataIn()
    {
        HostFixture f(true);
        QTemporaryDir dataIn;
        {
            EngineLock other(kProgram, dataIn.path());
            QString why;
            QVERIFY(other.tryLock(&why));
            QVERIFY(!f.host->lock(dataIn.path(), QStringLiteral("Title")));
            QCOMPARE(f.printed.err.size(), 1);
            QVERIFY2(f.printed.err.first().startsWith(QStringLiteral("TestEngine not started: ")),
                     qPrintable(f.printed.err.first()));
        }
        QVERIFY(f.host->lock(dataIn.path(), QStringLiteral("Title")));
        EngineLock later(kProgram, dataIn.path());
        QString why;
        QVERIFY(!later.tryLock(&why)); // held while the host lives
    }

    void commands_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("hides");
        QTest::addColumn<int>("shows");
        QTest::addColumn<int>("shutdowns");
        QTest::newRow("hide") << QByteArray("HIDE\n") << 1 << 0 << 0;
        QTest::newRow("hide twice") << QByteArray("HIDE\nHIDE\n") << 2 << 0 << 0;
        QTest::newRow("show") << QByteArray("SHOW\n") << 0 << 1 << 0;
        QTest::newRow("two lines, one write") << QByteArray("HIDE\r\nSHUTDOWN\n") << 1 << 0 << 1;
        QTest::newRow("lower case, blanks") << QByteArray("  shutdown \n") << 0 << 0 << 1;
        QTest::newRow("unknown") << QByteArray("FORMAT C:\n") << 0 << 0 << 0;
        QTest::newRow("no line end yet") << QByteArray("HIDE") << 0 << 0 << 0;
        QTest::newRow("endless line dropped") << QByteArray(5000, 'H') + "\nHIDE\n" << 0 << 0 << 0;
    }
    void commands()
    {
        QFETCH(QByteArray, sent);
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        EngineCommandServer server(QStringLiteral("Engine"));
        QString error;
        QVERIFY2(server.listen(&error), qPrintable(error));
        QSignalSpy hides(&server, &EngineCommandServer::hideRequested);
        QSignalSpy shows(&server, &EngineCommandServer::showRequested);
        QSignalSpy shutdowns(&server, &EngineCommandServer::shutdownRequested);
        QSignalSpy accepted(server.findChild<QLocalServer*>(), &QLocalServer::newConnection);
        QLocalSocket client;
        client.connectToServer(EngineCommandServer::serverPathFor(QStringLiteral("Engine")));
        QVERIFY(client.waitForConnected(2000));
        client.write(sent);
        client.flush();
        client.disconnectFromServer();
        // The server has read everything once its end of the connection is gone.
        QTRY_VERIFY(!accepted.isEmpty() && server.findChildren<QLocalSocket*>().isEmpty());
        QTEST(int(hides.size()), "hides");
        QTEST(int(shows.size()), "shows");
        QTEST(int(shutdowns.size()), "shutdowns");
        // a second engine of the same kind does not take the socket over
        EngineCommandServer second(QStringLiteral("Engine"));
        QVERIFY(!second.listen(&error));
        QVERIFY(error.contains(QStringLiteral("already listens")));
    }
};

QTEST_MAIN(TestEngineHost)
#include "tst_enginehost.moc"
