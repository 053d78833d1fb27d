#include "TestSupport.h"
#include "core/StatusLine.h"
#include "ingest/EngineControl.h"
#include "ingest/EngineLink.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {
const QString kConnected = QStringLiteral("Vantorel / Internet Engine - Connected");
const QString kNotConnected = QStringLiteral("Vantorel / Internet Engine - Not Connected");
const QString kBroadcast = QStringLiteral("Vantorel Ingest");
const QString kDir = QStringLiteral("/home/wx/.local/share/vantorel/");

struct Fixture
{
    RecordingLauncher launcher;
    FakeWindowControl windows;
    StatusLine status;
    EngineControl engine{kDir, launcher, windows, status};
};
} // namespace

Q_DECLARE_METATYPE(EngineControl::Mode)

namespace {
// A stand-in engine: listens where the engine of that name listens and
// records the lines it gets.
class Listener : public QObject
{
public:
    explicit Listener(const QString& engineName)
    {
        m_server.listen(EngineLink::serverPathFor(engineName));
        connect(&m_server, &QLocalServer::newConnection, this, [this] {
            QLocalSocket* s = m_server.nextPendingConnection();
            connect(s, &QLocalSocket::readyRead, this, [this, s] { received += s->readAll(); });
        });
    }
    bool listening() const { return m_server.isListening(); }
    QByteArray received;

private:
    QLocalServer m_server;
};
} // namespace

class TestEngineControl : public QObject
{
    Q_OBJECT
private slots:
    void startupStep_data()
    {
        QTest::addColumn<EngineControl::Mode>("mode");
        QTest::addColumn<QString>("present");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<QStringList>("started");
        QTest::addColumn<QString>("statusText");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("netLink");

        QTest::newRow("internet, not running")
            << EngineControl::Mode::InternetFeed << QString() << false
            << QStringList{kDir + "Engine.exe"} << "Internet Ingest Started" << QStringList()
            << QString();
        QTest::newRow("internet, running, hidden")
            << EngineControl::Mode::InternetFeed << kNotConnected << true << QStringList()
            << "Internet Ingest Started" << QStringList{"hide 7"} << "HIDE";
        QTest::newRow("network") << EngineControl::Mode::Network << kBroadcast << true
                                 << QStringList() << "Network Mode" << QStringList() << QString();
        QTest::newRow("standalone") << EngineControl::Mode::Standalone << QString() << false
                                    << QStringList{kDir + "VTIngest.exe"} << "EMWIN Ingest Started"
                                    << QStringList() << QString();
    }
    void startupStep()
    {
        QFETCH(EngineControl::Mode, mode);
        QFETCH(QString, present);
        QFETCH(bool, hide);
        QFETCH(QStringList, started);
        QFETCH(QString, statusText);
        QFETCH(QStringList, actions);
        QFETCH(QString, netLink);
        Fixture f;
        if (!present.isEmpty())
            f.windows.windows[present] = 7;
        f.engine.setHideIngestChecked(hide);
        QSignalSpy visible(&f.engine, &EngineControl::hideIngestVisibleChanged);
        f.engine.startupStep(mode);
        QCOMPARE(f.launcher.commandLines, started);
        for (const LaunchWindow window : f.launcher.windows)
            QCOMPARE(window, LaunchWindow::NormalNoFocus);
        QCOMPARE(f.status.text(), statusText);
        QCOMPARE(f.windows.actions, actions);
        QCOMPARE(f.engine.netLink(), netLink);
        QCOMPARE(visible.size(), mode == EngineControl::Mode::Network ? 1 : 0);
    }
    void missingEngineProgram()
    {
        for (const auto mode :
             {EngineControl::Mode::InternetFeed, EngineControl::Mode::Standalone}) {
            Fixture f;
            f.launcher.result = 0;
            try {
                f.engine.startupStep(mode);
                QFAIL("no error for a missing engine program");
            } catch (const RuntimeError& error) {
                QCOMPARE(error.number(), ErrorNumber::FileNotFound);
            }
        }
    }
    void startupTogglesKeepMark_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QStringList>("actions");
        QTest::newRow("broadcast, hidden")
            << kBroadcast << true << QStringList{"restore 5", "raise 5", "hide 5"};
        QTest::newRow("broadcast, shown")
            << kBroadcast << false << QStringList{"hide 5", "restore 5", "raise 5"};
        QTest::newRow("internet, hidden")
            << kConnected << true << QStringList{"restore 5", "raise 5", "hide 5"};
    }
    // Start-up runs the toggle twice: the mark ends as saved and the windows
    // follow it.
    void startupTogglesKeepMark()
    {
        QFETCH(QString, title);
        QFETCH(bool, hidden);
        QFETCH(QStringList, actions);
        Fixture f;
        f.windows.windows[title] = 5;
        f.engine.setHideIngestChecked(hidden);
        QSignalSpy marks(&f.engine, &EngineControl::hideIngestCheckedChanged);
        QSignalSpy front(&f.engine, &EngineControl::mainWindowToFront);
        f.engine.toggleIngestWindows();
        f.engine.toggleIngestWindows();
        QCOMPARE(f.engine.hideIngestChecked(), hidden);
        QCOMPARE(f.windows.actions, actions);
        QCOMPARE(marks.size(), 2);
        QCOMPARE(front.size(), 1);
        QCOMPARE(f.engine.netLink(), title == kBroadcast ? QStringLiteral("HIDE") : QString());
    }
    void hideWithoutWindowsChangesNothing()
    {
        for (const bool mark : {false, true}) {
            Fixture f;
            f.engine.setHideIngestChecked(mark);
            QSignalSpy marks(&f.engine, &EngineControl::hideIngestCheckedChanged);
            f.engine.toggleIngestWindows();
            QCOMPARE(f.engine.hideIngestChecked(), mark);
            QCOMPARE(marks.size(), 0);
            QVERIFY(f.windows.actions.isEmpty());
        }
    }
    // The command field keeps its text, but each hide, show and exit is sent to
    // the listening engine, also a second "HIDE" after a show.
    void everyCommandReachesTheEngine()
    {
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        QLocalServer server;
        QVERIFY(server.listen(EngineLink::serverPathFor(QStringLiteral("VTIngest"))));
        QByteArray received;
        QObject::connect(&server, &QLocalServer::newConnection, [&] {
            QLocalSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QLocalSocket::readyRead,
                             [&received, s] { received += s->readAll(); });
        });
        Fixture f;
        f.windows.windows[kBroadcast] = 5;
        f.engine.toggleIngestWindows();
        QTRY_COMPARE(received, QByteArray("HIDE\n"));
        f.engine.toggleIngestWindows();
        QTRY_COMPARE(received, QByteArray("HIDE\nSHOW\n"));
        f.engine.toggleIngestWindows();
        f.engine.setNetLink(QStringLiteral("SHUTDOWN"));
        QTRY_COMPARE(received, QByteArray("HIDE\nSHOW\nHIDE\nSHUTDOWN\n"));
    }
    void shutdownRestoresBoth()
    {
        Fixture f;
        f.windows.windows[kNotConnected] = 3;
        f.windows.windows[kBroadcast] = 4;
        f.engine.restoreEngineWindows();
        QCOMPARE(f.windows.actions, QStringList({"restore 3", "restore 4"}));
    }
    void purgeEverySixtiethTick()
    {
        Fixture f;
        QVERIFY(!f.engine.tmrPurge().isActive());
        QVERIFY(f.engine.purge()); // PurgeVal 0: nothing
        QVERIFY(f.launcher.commandLines.isEmpty());
        f.engine.setPurgeVal(48);
        QVERIFY(f.engine.tmrPurge().isActive());
        QCOMPARE(f.engine.tmrPurge().interval(), 60000);
        for (int i = 0; i < 59; ++i)
            f.engine.purgeWhenDue();
        QVERIFY(f.launcher.commandLines.isEmpty());
        f.engine.purgeWhenDue();
        QCOMPARE(f.launcher.commandLines, QStringList({kDir + "RivarODEZE.exe"}));
        QCOMPARE(f.launcher.windows.first(), LaunchWindow::Hidden);
        QCOMPARE(f.status.text(), QStringLiteral("Standby, cleaning archives."));
        for (int i = 0; i < 60; ++i)
            f.engine.purgeWhenDue();
        QCOMPARE(f.launcher.commandLines.size(), 2);
        f.engine.setPurgeVal(0);
        QVERIFY(!f.engine.tmrPurge().isActive());
        // A purge program that cannot be started is reported, not hidden.
        f.engine.setPurgeVal(1);
        f.launcher.result = 0;
        QVERIFY(!f.engine.purge());
        QVERIFY(f.status.text() != QStringLiteral("Standby, cleaning archives."));
    }
    void internetBackup()
    {
        Fixture f;
        f.engine.setHideIngestChecked(true);
        f.engine.setBackupHideDelay(0);
        QSignalSpy done(&f.engine, &EngineControl::backupHideDone);
        f.engine.startInternetBackup();
        QCOMPARE(f.launcher.commandLines, QStringList({kDir + "Engine.exe"}));
        QCOMPARE(f.status.text(), QStringLiteral("Internet Ingest Started"));
        // The started engine opens its window during the wait; the wait does not block.
        QVERIFY(f.engine.backupHidePending());
        f.windows.windows[kNotConnected] = 9;
        QVERIFY(done.wait(5000));
        QCOMPARE(f.windows.actions, QStringList({"hide 9"}));

        // Already running and not to be hidden: nothing is started or hidden.
        Fixture g;
        g.windows.windows[kConnected] = 2;
        g.engine.startInternetBackup();
        QVERIFY(g.launcher.commandLines.isEmpty());
        QVERIFY(!g.engine.backupHidePending());
        QVERIFY(g.windows.actions.isEmpty());
    }
    void internetBackupProgramMissing()
    {
        Fixture f;
        f.engine.setHideIngestChecked(true);
        f.launcher.result = 0;
        f.engine.startInternetBackup();
        QVERIFY(!f.engine.backupHidePending());
        QVERIFY(f.status.text().startsWith(QStringLiteral("Internet Ingest could not be started")));
    }
    // The Weather Wire engine is started beside the other, not a second time
    // when it already listens, and a missing program leaves the other feed alone.
    void weatherWireStartedOnce()
    {
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        Fixture f;
        f.engine.startWeatherWire();
        QCOMPARE(f.launcher.commandLines, QStringList{kDir + "NWWSEngine"});
        QCOMPARE(f.status.text(), QStringLiteral("NWWS Ingest Started"));

        QLocalServer running;
        QVERIFY(running.listen(EngineLink::serverPathFor(QStringLiteral("NWWSEngine"))));
        f.engine.startWeatherWire();
        QCOMPARE(f.launcher.commandLines.size(), 1);
        running.close();

        f.launcher.result = 0;
        f.engine.startWeatherWire();
        QVERIFY(f.status.text().startsWith(QStringLiteral("NWWS Ingest could not be started")));
    }

    void init()
    {
        m_runtime = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(m_runtime->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", m_runtime->path().toUtf8());
    }
    void deliver_data()
    {
        QTest::addColumn<QStringList>("listening");
        QTest::addColumn<QStringList>("deadSocketFiles"); // left behind by engines that died
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("engineGets");
        QTest::addColumn<QByteArray>("vtingestGets");

        QTest::newRow("both engines") << QStringList{"Engine", "VTIngest"} << QStringList{}
                                      << "HIDE" << QByteArray("HIDE\n") << QByteArray("HIDE\n");
        QTest::newRow("broadcast engine only")
            << QStringList{"VTIngest"} << QStringList{} << "SHUTDOWN" << QByteArray()
            << QByteArray("SHUTDOWN\n");
        QTest::newRow("dead engine beside a live one")
            << QStringList{"Engine"} << QStringList{"VTIngest"} << "SHUTDOWN"
            << QByteArray("SHUTDOWN\n") << QByteArray();
        QTest::newRow("no engine")
            << QStringList{} << QStringList{"Engine"} << "HIDE" << QByteArray() << QByteArray();
        QTest::newRow("line breaks cannot smuggle a second command")
            << QStringList{"Engine"} << QStringList{} << "HIDE\nSHUTDOWN"
            << QByteArray("HIDESHUTDOWN\n") << QByteArray();
    }
    void deliver()
    {
        QFETCH(QStringList, listening);
        QFETCH(QStringList, deadSocketFiles);
        QFETCH(QString, command);
        QFETCH(QByteArray, engineGets);
        QFETCH(QByteArray, vtingestGets);
        for (const QString& name : deadSocketFiles) {
            QFile stale(EngineLink::serverPathFor(name));
            QVERIFY(stale.open(QIODevice::WriteOnly));
        }
        Listener engine(listening.contains("Engine") ? "Engine" : "unused-1");
        Listener vtingest(listening.contains("VTIngest") ? "VTIngest" : "unused-2");
        EngineLink link;
        QSignalSpy delivered(&link, &EngineLink::delivered);
        link.send(command);
        QTRY_COMPARE(delivered.size(), listening.size());
        QTRY_COMPARE(engine.received, engineGets);
        QTRY_COMPARE(vtingest.received, vtingestGets);
        // the sockets are gone, so nothing arrives later
        QTRY_VERIFY(link.findChildren<QLocalSocket*>().isEmpty());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(delivered.size(), listening.size());
    }
    // The window thread only starts the sending.
    void sendingDoesNotWait()
    {
        Listener engine("Engine");
        EngineLink link;
        QElapsedTimer timer;
        timer.start();
        link.send(QStringLiteral("HIDE"));
        QVERIFY(timer.elapsed() < 100);
        QVERIFY(engine.received.isEmpty()); // delivered by the event loop, not by send()
        QTRY_COMPARE(engine.received, QByteArray("HIDE\n"));
    }

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
};

QTEST_GUILESS_MAIN(TestEngineControl)
#include "tst_enginecontrol.moc"
