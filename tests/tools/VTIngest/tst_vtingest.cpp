#include "../lib/broadcast/CorpusStream.h"
#include "PseudoTerminal.h"
#include "SerialIngest.h"
#include "TestSupport.h"
#include "VTIngestOptions.h"
#include "ingest/EngineLink.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <memory>

class TestVTIngest : public QObject
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
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("failed");
        QTest::newRow("none") << QStringList{"VTIngest"} << "" << 0 << false;
        QTest::newRow("port and speed")
            << QStringList{"VTIngest", "--port", "/dev/ttyUSB0", "--baud", "19200"}
            << "/dev/ttyUSB0" << 19200 << false;
        QTest::newRow("bad speed") << QStringList{"VTIngest", "--baud", "fast"} << "" << 0 << true;
        QTest::newRow("stray argument") << QStringList{"VTIngest", "COM1"} << "" << 0 << true;
    }
    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, failed);
        const VTIngestOptions o = VTIngestOptions::parse(arguments);
        QCOMPARE(!o.error.isEmpty(), failed);
        if (failed)
            return;
        QTEST(o.port, "port");
        QTEST(o.baud, "baud");
    }
    void portNames_data()
    {
        QTest::addColumn<int>("portNum");
        QTest::addColumn<QString>("device");
        QTest::newRow("1") << 1 << "/dev/ttyS0";
        QTest::newRow("4") << 4 << "/dev/ttyS3";
        QTest::newRow("0 is the first") << 0 << "/dev/ttyS0";
        QTest::newRow("negative") << -3 << "/dev/ttyS0";
    }
    void portNames()
    {
        QFETCH(int, portNum);
        QTEST(SerialIngest::portNameFor(portNum), "device");
    }
    // The serial form: no XOR, noise on the line, spoilt blocks repaired by the
    // repeat; every product arrives once and unchanged.
    void corpusOverPseudoTerminal()
    {
        PseudoTerminal receiver;
        QVERIFY(!receiver.slavePath().isEmpty());
        CorpusStreamOptions o;
        o.first = 200;
        o.count = 150;
        const CorpusStream corpus = buildCorpusStream(o);
        startEngine(receiver.slavePath());
        QTRY_VERIFY2_WITH_TIMEOUT(m_log.contains("Receiving on"), m_log.constData(), 10000);
        receiver.send(QByteArray("line noise \x01\xff") + corpus.stream);
        QTRY_VERIFY2_WITH_TIMEOUT(fileCount(dataIn()) >= corpus.files,
                                  m_log.right(2000).constData(), 60000);
        QTRY_VERIFY_WITH_TIMEOUT(receiver.drained(), 10000);
        stopEngine(); // the engine has ended: nothing more can come
        QCOMPARE(fileCount(dataIn()), corpus.files);
        QVERIFY(directoryContents(dataIn()) == corpus.expected);
    }
    // A receiver that is not there at start is picked up once it appears.
    void receiverConnectedLater()
    {
        PseudoTerminal receiver;
        const QString link = m_home->file(QStringLiteral("receiver"));
        startEngine(link);
        QTRY_VERIFY_WITH_TIMEOUT(m_log.contains("Cannot open"), 10000);
        QVERIFY(m_engine->state() == QProcess::Running);
        QVERIFY(QFile::link(receiver.slavePath(), link));
        QTRY_VERIFY2_WITH_TIMEOUT(m_log.contains("Receiving on"), m_log.constData(), 15000);
        CorpusStreamOptions o;
        o.count = 8;
        const CorpusStream corpus = buildCorpusStream(o);
        receiver.send(corpus.stream);
        QTRY_COMPARE_WITH_TIMEOUT(fileCount(dataIn()), corpus.files, 20000);
        QVERIFY(directoryContents(dataIn()) == corpus.expected);
        stopEngine();
    }

private:
    void startEngine(const QString& port)
    {
        m_engine = std::make_unique<QProcess>();
        m_engine->setProcessChannelMode(QProcess::MergedChannels);
        m_log.clear();
        connect(m_engine.get(), &QProcess::readyRead, this,
                [this] { m_log += m_engine->readAll(); });
        m_engine->start(QStringLiteral(VANTOREL_VTINGEST_PROGRAM),
                        {QStringLiteral("--headless"), QStringLiteral("--port"), port,
                         QStringLiteral("--data-in"), dataIn()});
        QVERIFY(m_engine->waitForStarted(5000));
    }
    void stopEngine()
    {
        EngineLink link;
        link.send(QStringLiteral("SHUTDOWN"));
        QTRY_COMPARE_WITH_TIMEOUT(m_engine->state(), QProcess::NotRunning, 10000);
        QCOMPARE(m_engine->exitCode(), 0);
    }
    QString dataIn() const { return m_home->file(QStringLiteral("datain")); }

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<QProcess> m_engine;
    QByteArray m_log;
};

QTEST_GUILESS_MAIN(TestVTIngest)
#include "tst_vtingest.moc"
