// One download from start to end against a real local FTP server: what
// reaches the receive and Data-In directories when the transfer succeeds,
// breaks off, is refused or cannot start, and the bounded permission retries.
#include "FtpTestServer.h"
#include "app/FtpExtraction.h"
#include "core/AlarmFile.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ftp/FtpJob.h"
#include "ftp/FtpServerAddress.h"
#include "platform/FileLister.h"

#include <QCoreApplication>
#include <QTest>
#include <unistd.h>

namespace {
const QByteArray kOldSet = "an earlier set, never to be extracted again";

// Receive and Data-In directories below a private home, the server's root,
// and the extraction of the program.
struct JobFixture
{
    TestHome home;
    QString root = home.path() + QStringLiteral("/server/");
    QString receive = home.path() + QStringLiteral("/prog/track/rcv/");
    QString dataIn = home.path() + QStringLiteral("/prog/track/transfer/");
    Settings settings;
    AlarmFile alarms;
    StatusLine status;
    FtpExtraction extraction{settings, alarms, status};
    std::atomic_bool cancel{false};
    QStringList statusTexts;

    JobFixture()
    {
        QDir().mkpath(root);
        QDir().mkpath(receive);
        QDir().mkpath(dataIn);
    }

    FtpJob::Request request(int port, const QString& remote) const
    {
        FtpJob::Request r;
        r.ftp.host = QStringLiteral("127.0.0.1");
        r.ftp.port = port;
        r.ftp.user = QStringLiteral("emwin");
        r.ftp.password = QStringLiteral("emwin");
        r.ftp.remoteName = remote;
        r.ftp.connectTimeoutSeconds = 5;
        r.ftp.stallSeconds = 5;
        r.receiveDir = receive;
        r.dataInDir = dataIn;
        r.retryLimit = 2;
        r.retryDelayMs = 50;
        return r;
    }

    FtpResult run(const FtpJob::Request& r, std::function<void(const QString&)> onStatus = {})
    {
        FtpJob::Observer observer;
        observer.status = [this, onStatus](const QString& text) {
            statusTexts << text;
            if (onStatus)
                onStatus(text);
        };
        const FtpResult result = FtpJob(r, extraction, cancel).run(observer);
        QCoreApplication::processEvents(); // the extraction's status text
        return result;
    }
};

// Makes renaming onto FTPIngest.ZIP fail with a permission error: an
// immutable file for root (who passes every permission check), a read-only
// receive directory for anybody else.
class RenameLock
{
public:
    RenameLock(const QString& receive) : m_receive(receive)
    {
        m_target = receive + FtpJob::IngestName;
        if (::geteuid() == 0)
            m_locked = QProcess::execute(QStringLiteral("chattr"), {"+i", m_target}) == 0;
        else
            m_locked =
                QFile::setPermissions(receive, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    ~RenameLock() { lift(); }
    bool locked() const { return m_locked; }
    void lift()
    {
        if (!m_locked)
            return;
        if (::geteuid() == 0)
            QProcess::execute(QStringLiteral("chattr"), {"-i", m_target});
        else
            QFile::setPermissions(m_receive, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        m_locked = false;
    }

private:
    QString m_receive;
    QString m_target;
    bool m_locked = false;
};
} // namespace

class TestFtpJob : public QObject
{
    Q_OBJECT
private slots:
    void outcome_data();
    void outcome();
    void waitingProductsStay();
    void permissionRetries_data();
    void permissionRetries();
    void serverAddress_data();
    void serverAddress();
};

void TestFtpJob::outcome_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QStringList>("serverArgs");
    QTest::addColumn<bool>("serverDown");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("number"); // -1: any
    QTest::addColumn<QString>("descriptionHas");
    QTest::addColumn<qint64>("maxBytes"); // 0: the client's own limit
    QTest::addColumn<qint64>("damageAt"); // a byte of the served set changed; -1: none

    const int done = int(FtpResult::Outcome::Done);
    const int failed = int(FtpResult::Outcome::Failed);
    const int noConnection = int(FtpResult::Outcome::ConnectFailed);
    QTest::newRow("whole set replaces the earlier one")
        << "ONETEXT.ZIP" << QStringList() << false << done << 0 << "" << qint64(0) << qint64(-1);
    QTest::newRow("missing file") << "THREETXT.ZIP" << QStringList() << false << failed << 78
                                  << "THREETXT.ZIP" << qint64(0) << qint64(-1);
    QTest::newRow("data connection broken off, server says 426")
        << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:abort"} << false << failed
        << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
    QTest::newRow("data connection ends early, server says 226")
        << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:short"} << false << failed
        << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
    QTest::newRow("server ends in mid-transfer")
        << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:die"} << false << failed << -1
        << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
    QTest::newRow("no server") << "ONETEXT.ZIP" << QStringList() << true << noConnection
                               << FtpJob::ConnectFailedNumber << "" << qint64(0) << qint64(-1);
    QTest::newRow("login refused")
        << "ONETEXT.ZIP" << QStringList{"--password", "other"} << false << noConnection
        << FtpJob::ConnectFailedNumber << "" << qint64(0) << qint64(-1);
    const QStringList noSize{"--no-size"};
    QTest::newRow("whole set, size not told")
        << "ONETEXT.ZIP" << noSize << false << done << 0 << "" << qint64(0) << qint64(-1);
    QTest::newRow("broken off, size not told")
        << "ONETEXT.ZIP" << noSize + QStringList{"--cut", "ONETEXT.ZIP:3000:abort"} << false
        << failed << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
    // curl reports success for a file cut short when no size was told.
    QTest::newRow("data connection ends early, server says 226, size not told")
        << "ONETEXT.ZIP" << noSize + QStringList{"--cut", "ONETEXT.ZIP:3000:short"} << false
        << failed << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
    QTest::newRow("set damaged on the server")
        << "ONETEXT.ZIP" << QStringList() << false << failed << FtpJob::PartialTransferNumber
        << "ONETEXT.ZIP" << qint64(0) << qint64(200);
    QTest::newRow("set above the size limit")
        << "ONETEXT.ZIP" << QStringList() << false << failed << FtpClient::TooLargeCode
        << "ONETEXT.ZIP" << qint64(1000) << qint64(-1);
    QTest::newRow("set above the size limit, size not told")
        << "ONETEXT.ZIP" << noSize << false << failed << FtpClient::TooLargeCode << "ONETEXT.ZIP"
        << qint64(1000) << qint64(-1);
}

void TestFtpJob::outcome()
{
    QFETCH(QString, remote);
    QFETCH(QStringList, serverArgs);
    QFETCH(bool, serverDown);
    QFETCH(int, outcome);
    QFETCH(int, number);
    QFETCH(QString, descriptionHas);
    QFETCH(qint64, maxBytes);
    QFETCH(qint64, damageAt);

    JobFixture f;
    const QStringList products = corpusProducts(12);
    QVERIFY(makeProductZip(f.root + "ONETEXT.ZIP", products));
    QByteArray served = readBytes(f.root + "ONETEXT.ZIP");
    if (damageAt >= 0) {
        served[damageAt] = char(served.at(damageAt) ^ 0x5a);
        f.home.write("server/ONETEXT.ZIP", served);
    }
    f.home.write("prog/track/rcv/FTPIngest.ZIP", kOldSet);
    f.home.write("prog/track/rcv/download.zip", "left by a run that never ended");
    FtpTestServer server(f.root, serverArgs);
    QVERIFY(server.port != 0);
    const int port = serverDown ? closedPort() : server.port;

    FtpJob::Request request = f.request(port, remote);
    if (maxBytes > 0)
        request.ftp.maxBytes = maxBytes;
    const FtpResult result = f.run(request);

    QCOMPARE(int(result.outcome), outcome);
    if (number >= 0)
        QCOMPARE(result.number, number);
    QVERIFY2(result.description.contains(descriptionHas), qPrintable(result.description));
    QVERIFY(!QFile::exists(f.receive + FtpJob::DownloadName));
    if (outcome == int(FtpResult::Outcome::Done)) {
        QCOMPARE(readBytes(f.receive + FtpJob::IngestName), served);
        QCOMPARE(result.unzipResult, 0);
        QCOMPARE(FileLister::list(f.dataIn), products);
        for (const QString& name : products)
            QCOMPARE(readBytes(f.dataIn + name),
                     readBytes(testDataPath("corpus/products/" + name)));
        QCOMPARE(f.status.text(), QStringLiteral("Unzipped Successfully"));
        QCOMPARE(f.statusTexts, QStringList{"Unzipping"});
        QVERIFY(server.commands().contains("RETR ONETEXT.ZIP"));
        QVERIFY(server.commands().contains("USER emwin"));
    } else {
        // Nothing of a failed download reaches Data-In, the earlier set stays.
        QCOMPARE(FileLister::list(f.dataIn), QStringList());
        QCOMPARE(readBytes(f.receive + FtpJob::IngestName), kOldSet);
        QVERIFY(f.statusTexts.isEmpty());
        QVERIFY(f.status.text().isEmpty());
    }
}

// Products of the set whose names wait in Data-In, not yet taken by the
// program, arrive beside them under the engines' NAME.EXT@n names.
void TestFtpJob::waitingProductsStay()
{
    JobFixture f;
    const QStringList products = corpusProducts(3);
    QCOMPARE(products, (QStringList{"AFDBOXMA.TXT", "AFDDMXIA.TXT", "AFDPSRAZ.TXT"}));
    QVERIFY(makeProductZip(f.root + "FIFTEEN.ZIP", products));
    f.home.write("prog/track/transfer/AFDBOXMA.TXT", "waiting");
    f.home.write("prog/track/transfer/AFDDMXIA.TXT", "waiting");
    f.home.write("prog/track/transfer/AFDDMXIA.TXT@1", "waiting 1");
    f.home.write("prog/track/transfer/AFDDMXIA.TXT@3", "waiting 3");
    FtpTestServer server(f.root);
    QVERIFY(server.port != 0);

    const FtpResult result = f.run(f.request(server.port, "FIFTEEN.ZIP"));

    QCOMPARE(int(result.outcome), int(FtpResult::Outcome::Done));
    QCOMPARE(result.unzipResult, 0);
    QCOMPARE(QDir(f.dataIn).entryList(QDir::Files | QDir::Hidden, QDir::Name),
             (QStringList{"AFDBOXMA.TXT", "AFDBOXMA.TXT@1", "AFDDMXIA.TXT", "AFDDMXIA.TXT@1",
                          "AFDDMXIA.TXT@3", "AFDDMXIA.TXT@4", "AFDPSRAZ.TXT"}));
    QCOMPARE(readBytes(f.dataIn + "AFDBOXMA.TXT"), QByteArray("waiting"));
    QCOMPARE(readBytes(f.dataIn + "AFDDMXIA.TXT@3"), QByteArray("waiting 3"));
    const QString corpus = testDataPath("corpus/products/");
    QCOMPARE(readBytes(f.dataIn + "AFDBOXMA.TXT@1"), readBytes(corpus + "AFDBOXMA.TXT"));
    QCOMPARE(readBytes(f.dataIn + "AFDDMXIA.TXT@4"), readBytes(corpus + "AFDDMXIA.TXT"));
    QCOMPARE(readBytes(f.dataIn + "AFDPSRAZ.TXT"), readBytes(corpus + "AFDPSRAZ.TXT"));
}

void TestFtpJob::permissionRetries_data()
{
    QTest::addColumn<bool>("lockLifted");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("outcome");
    QTest::newRow("lock gone after the first retry")
        << true << QStringList{FtpJob::retryText(1, 2), "Unzipping"}
        << int(FtpResult::Outcome::Done);
    QTest::newRow("lock stays: the retries end")
        << false << QStringList{FtpJob::retryText(1, 2), FtpJob::retryText(2, 2)}
        << int(FtpResult::Outcome::Failed);
}

void TestFtpJob::permissionRetries()
{
    QFETCH(bool, lockLifted);
    QFETCH(QStringList, texts);
    QFETCH(int, outcome);

    JobFixture f;
    QVERIFY(makeProductZip(f.root + "FIFTEEN.ZIP", corpusProducts(3)));
    f.home.write("prog/track/rcv/FTPIngest.ZIP", kOldSet);
    FtpTestServer server(f.root);
    QVERIFY(server.port != 0);
    RenameLock lock(f.receive);
    if (!lock.locked())
        QSKIP("cannot make a file unwritable here");

    const FtpResult result = f.run(f.request(server.port, "FIFTEEN.ZIP"), [&](const QString& text) {
        if (lockLifted && text == FtpJob::retryText(1, 2))
            lock.lift();
    });
    lock.lift();

    QCOMPARE(f.statusTexts, texts);
    QCOMPARE(int(result.outcome), outcome);
    QVERIFY(!QFile::exists(f.receive + FtpJob::DownloadName));
    if (lockLifted) {
        QCOMPARE(FileLister::list(f.dataIn), corpusProducts(3));
    } else {
        QCOMPARE(result.number, 70);
        QVERIFY(result.description.startsWith("Permission denied"));
        QCOMPARE(readBytes(f.receive + FtpJob::IngestName), kOldSet);
        QCOMPARE(FileLister::list(f.dataIn), QStringList());
    }
}

void TestFtpJob::serverAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host"); // empty: refused
    QTest::addColumn<int>("port");
    QTest::newRow("name") << "ftp.example.org"
                          << "ftp.example.org" << 21;
    QTest::newRow("blanks around") << "  ftp.example.org "
                                   << "ftp.example.org" << 21;
    QTest::newRow("port") << "127.0.0.1:2121"
                          << "127.0.0.1" << 2121;
    QTest::newRow("ftp scheme and slash") << "ftp://ftp.example.org/"
                                          << "ftp.example.org" << 21;
    QTest::newRow("v6 with port") << "[::1]:2121"
                                  << "::1" << 2121;
    QTest::newRow("v6 bare") << "fe80::1"
                             << "fe80::1" << 21;
    QTest::newRow("empty") << ""
                           << "" << 0;
    QTest::newRow("port zero") << "host:0"
                               << "" << 0;
    QTest::newRow("port too large") << "host:65536"
                                    << "" << 0;
    QTest::newRow("port not a number") << "host:ftp"
                                       << "" << 0;
    QTest::newRow("login smuggled in") << "user:pw@host"
                                       << "" << 0;
    QTest::newRow("path smuggled in") << "host/../etc"
                                      << "" << 0;
    QTest::newRow("other scheme") << "http://host"
                                  << "" << 0;
    QTest::newRow("blank inside") << "ftp example.org"
                                  << "" << 0;
    QTest::newRow("v6 unclosed") << "[::1:21"
                                 << "" << 0;
    QTest::newRow("control character") << "host\r\nRETR x"
                                       << "" << 0;
}

void TestFtpJob::serverAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    const std::optional<FtpServerAddress> address = FtpServerAddress::parse(text);
    if (host.isEmpty()) {
        QVERIFY(!address);
        return;
    }
    QVERIFY(address);
    QCOMPARE(address->host, host);
    QCOMPARE(address->port, port);
}

QTEST_GUILESS_MAIN(TestFtpJob)
#include "tst_ftpjob.moc"
