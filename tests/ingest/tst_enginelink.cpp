#include "TestSupport.h"
#include "ingest/EngineLink.h"

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

class TestEngineLink : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void deliver_data();
    void deliver();
    void sendingDoesNotWait();

private:
    std::unique_ptr<QTemporaryDir> m_runtime;
};

void TestEngineLink::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QFile::setPermissions(m_runtime->path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", m_runtime->path().toUtf8());
}

void TestEngineLink::deliver_data()
{
    QTest::addColumn<QStringList>("listening");
    QTest::addColumn<QStringList>("deadSocketFiles"); // left behind by engines that died
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("engineGets");
    QTest::addColumn<QByteArray>("vtingestGets");

    QTest::newRow("both engines") << QStringList{"Engine", "VTIngest"} << QStringList{} << "HIDE"
                                  << QByteArray("HIDE\n") << QByteArray("HIDE\n");
    QTest::newRow("broadcast engine only") << QStringList{"VTIngest"} << QStringList{} << "SHUTDOWN"
                                           << QByteArray() << QByteArray("SHUTDOWN\n");
    QTest::newRow("dead engine beside a live one")
        << QStringList{"Engine"} << QStringList{"VTIngest"} << "SHUTDOWN"
        << QByteArray("SHUTDOWN\n") << QByteArray();
    QTest::newRow("no engine") << QStringList{} << QStringList{"Engine"} << "HIDE" << QByteArray()
                               << QByteArray();
    QTest::newRow("line breaks cannot smuggle a second command")
        << QStringList{"Engine"} << QStringList{} << "HIDE\nSHUTDOWN"
        << QByteArray("HIDESHUTDOWN\n") << QByteArray();
}

void TestEngineLink::deliver()
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
void TestEngineLink::sendingDoesNotWait()
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

QTEST_GUILESS_MAIN(TestEngineLink)
#include "tst_enginelink.moc"
