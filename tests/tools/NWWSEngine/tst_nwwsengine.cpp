#include "IngestSettings.h"
#include "NwwsSender.h"
#include "TestSupport.h"
#include "XmppServer.h"
#include "core/NwwsSettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <memory>

// The real engine against a real XMPP server: products posted into the room
// by a sender arrive in Data-In as the broadcast carries them.
class TestNwwsEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void corpusArrivesWhole();
    void serverRestartedMidRun();
    void wrongPasswordIsNotRetried();
    void passwordReadableByOthers();

private:
    void startEngine();
    bool waitForLog(const QString& text, int count = 1, int timeoutMs = 20000);
    int logCount(const QString& text) const { return int(m_log.count(text.toUtf8())); }
    QString dataIn() const { return m_home->file(QStringLiteral("datain")); }
    int filesInDataIn() const { return int(QDir(dataIn()).entryList(QDir::Files).size()); }
    void verifyArrived(const QStringList& sent);

    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<XmppServer> m_server;
    std::unique_ptr<NwwsSender> m_sender;
    std::unique_ptr<QProcess> m_engine;
    QByteArray m_log;
    QStringList m_corpus;
};

namespace {
const QString kUser = QStringLiteral("nwwsuser");
const QString kPassword = QStringLiteral("wire-secret");

// The product from its WMO heading on, end padding (line ends, the
// broadcast's end-of-text) aside.
QByteArray comparable(QByteArray bytes)
{
    static const QRegularExpression heading(
        QStringLiteral("^[A-Z0-9]{4}[0-9]{2} [A-Z0-9]{4} [0-9]{6}"));
    const QList<QByteArray> lines = bytes.split('\n');
    qsizetype skip = 0;
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        if (heading.match(QString::fromLatin1(lines[i])).hasMatch())
            break;
        skip += lines[i].size() + 1;
    }
    bytes.remove(0, skip);
    while (!bytes.isEmpty() &&
           (bytes.endsWith('\r') || bytes.endsWith('\n') || bytes.endsWith('\x03')))
        bytes.chop(1);
    return bytes;
}
} // namespace

void TestNwwsEngine::initTestCase()
{
    const QDir products(testDataPath(QStringLiteral("corpus/products")));
    for (const QString& name : products.entryList(QDir::Files, QDir::Name))
        m_corpus << products.filePath(name);
    QVERIFY(m_corpus.size() > 500);
}

void TestNwwsEngine::init()
{
    m_home = std::make_unique<TestHome>();
    const QString runtime = m_home->file(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    QDir().mkpath(IngestSettings::programDirectory());
    QString error;
    QVERIFY2(NwwsSettings::writePassword(IngestSettings::programDirectory(), kPassword, &error),
             qPrintable(error));
    m_server = std::make_unique<XmppServer>();
    QVERIFY(m_server->ok());
    QVERIFY(m_server->addAccount(kUser, kPassword));
    m_sender = std::make_unique<NwwsSender>(*m_server);
    QVERIFY(m_sender->ok());
    QVERIFY(m_server->start());
    m_log.clear();
}

void TestNwwsEngine::cleanup()
{
    if (m_engine && m_engine->state() != QProcess::NotRunning) {
        m_engine->terminate();
        if (!m_engine->waitForFinished(5000))
            m_engine->kill();
        m_engine->waitForFinished(2000);
    }
    if (QTest::currentTestFailed())
        qInfo().noquote() << "engine log:\n" << m_log.right(4000);
    m_engine.reset();
    m_sender.reset();
    m_server.reset();
    m_home.reset();
}

void TestNwwsEngine::startEngine()
{
    m_engine = std::make_unique<QProcess>();
    m_engine->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_engine.get(), &QProcess::readyRead, this, [this] { m_log += m_engine->readAll(); });
    m_engine->start(QStringLiteral(VANTOREL_NWWSENGINE_PROGRAM),
                    {QStringLiteral("--headless"), QStringLiteral("--data-in"), dataIn(),
                     QStringLiteral("--user"), kUser, QStringLiteral("--server"),
                     m_server->server(), QStringLiteral("--ca-cert"), m_server->certificate()});
    QVERIFY(m_engine->waitForStarted(5000));
}

bool TestNwwsEngine::waitForLog(const QString& text, int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (logCount(text) < count && clock.elapsed() < timeoutMs)
        QTest::qWait(20);
    return logCount(text) >= count;
}

// Every product sent is in Data-In once, byte for byte (padding aside).
void TestNwwsEngine::verifyArrived(const QStringList& sent)
{
    QMap<QByteArray, int> expected;
    for (const QString& file : sent)
        ++expected[comparable(readBytes(file))];
    QMap<QByteArray, int> got;
    const QDir dir(dataIn());
    for (const QString& name : dir.entryList(QDir::Files))
        ++got[comparable(readBytes(dir.filePath(name)))];
    QStringList missing;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        if (got.value(it.key()) != it.value())
            missing << QString::fromLatin1(it.key().left(40));
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char('\n'))));
    QCOMPARE(filesInDataIn(), int(sent.size()));
}

void TestNwwsEngine::corpusArrivesWhole()
{
    startEngine();
    QVERIFY(waitForLog(QStringLiteral("Joined nwws@conference.localhost")));
    QElapsedTimer clock;
    clock.start();
    const QStringList sent = m_sender->send(m_corpus);
    QVERIFY(sent.size() > 500);
    QTRY_COMPARE_WITH_TIMEOUT(filesInDataIn(), int(sent.size()), 60000);
    qInfo("%d of %d corpus products sent, %d written into Data-In in %lld ms", int(sent.size()),
          int(m_corpus.size()), filesInDataIn(), clock.elapsed());
    verifyArrived(sent);
}

void TestNwwsEngine::serverRestartedMidRun()
{
    startEngine();
    QVERIFY(waitForLog(QStringLiteral("Joined nwws@conference.localhost")));
    QStringList sent = m_sender->send(m_corpus.mid(0, 60));
    QTRY_COMPARE_WITH_TIMEOUT(filesInDataIn(), int(sent.size()), 30000);

    m_server->stop();
    QVERIFY(m_server->start());
    QVERIFY(waitForLog(QStringLiteral("Joined nwws@conference.localhost"), 2, 30000));
    const QRegularExpressionMatch back =
        QRegularExpression(QStringLiteral("Back in the room (\\d+) ms"))
            .match(QString::fromUtf8(m_log));
    QVERIFY(back.hasMatch());
    qInfo("back in the room %s ms after the server went down", qPrintable(back.captured(1)));

    sent += m_sender->send(m_corpus.mid(60, 60));
    QTRY_COMPARE_WITH_TIMEOUT(filesInDataIn(), int(sent.size()), 30000);
    verifyArrived(sent);
}

// A refused password is tried once, reported plainly, and tried again only
// when the password file changes.
void TestNwwsEngine::wrongPasswordIsNotRetried()
{
    QString error;
    QVERIFY(NwwsSettings::writePassword(IngestSettings::programDirectory(), QStringLiteral("wrong"),
                                        &error));
    startEngine();
    QVERIFY(waitForLog(QStringLiteral("not trying again until the password is changed")));
    QVERIFY2(m_log.contains("the server refused the password of nwwsuser"), m_log.constData());
    // file times have a resolution of their own: the new password is written
    // when the time has moved on
    const QDateTime written =
        QFileInfo(NwwsSettings::passwordPath(IngestSettings::programDirectory())).lastModified();
    QTRY_VERIFY_WITH_TIMEOUT(QDateTime::currentDateTime() > written.addMSecs(10), 2000);
    QVERIFY(NwwsSettings::writePassword(IngestSettings::programDirectory(), kPassword, &error));
    QVERIFY(waitForLog(QStringLiteral("Joined nwws@conference.localhost"), 1, 20000));
    // one attempt with the refused password, one with the new: none between
    QCOMPARE(logCount(QStringLiteral("Connecting to")), 2);
}

void TestNwwsEngine::passwordReadableByOthers()
{
    const QString path = NwwsSettings::passwordPath(IngestSettings::programDirectory());
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther);
    startEngine();
    QVERIFY(m_engine->waitForFinished(10000));
    QCOMPARE(m_engine->exitCode(), 1);
    QVERIFY2(m_log.contains("can be read by others"), m_log.constData());
    QCOMPARE(logCount(QStringLiteral("Connecting to")), 0);
}

QTEST_GUILESS_MAIN(TestNwwsEngine)
#include "tst_nwwsengine.moc"
