// FTP download of product sets against a real local FTP server: the "FTP
// Engine" dialog (set buttons, server field, lblMain and progress bar), the
// download on its worker thread (texts in order, busy flag, failures, the
// server setting, cancelling on close), one job from start to end (receive and
// Data-In directories, bounded permission retries), and the delivery into
// Data-In (never over a product waiting there, also across file systems).
#include "../FtpTestServer.h"
#include "TestSupport.h"
#include "app/FtpExtraction.h"
#include "core/AlarmFile.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ftp/DataInDelivery.h"
#include "ftp/FtpDownload.h"
#include "ftp/FtpJob.h"
#include "ftp/FtpServerAddress.h"
#include "ftp/ui/frmFTP.h"
#include "platform/FileLister.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kWaitMs = 20000;

template <typename T> T* child(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

struct DownloadFixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    QString root = home.path() + QStringLiteral("/server/");
    QString dataIn = home.path() + QStringLiteral("/prog/track/transfer/");
    SettingsStore store{home.path() + QStringLiteral("/settings.ini")};
    ScriptedPrompter prompter;
    Settings settings;
    AlarmFile alarms;
    StatusLine status;
    FtpExtraction extraction{settings, alarms, status};
    std::unique_ptr<FtpDownload> download;
    QStringList texts;
    QList<int> percents;

    explicit DownloadFixture(const QString& server = QString())
    {
        QDir().mkpath(root);
        QDir().mkpath(dataIn);
        settings.TransferPath = dataIn;
        settings.FTPServer = server;
        download = std::make_unique<FtpDownload>(programDir, settings, store, prompter, extraction);
        download->setTimeouts(5, 5);
        QObject::connect(download.get(), &FtpDownload::statusChanged,
                         [this](const QString& t) { texts << t; });
        QObject::connect(download.get(), &FtpDownload::progressChanged,
                         [this](int p) { percents << p; });
    }

    // The worker's status texts are queued before its end, so every text
    // has arrived once the download is no longer busy.
    bool waitIdle() const
    {
        return QTest::qWaitFor([this] { return !download->busy(); }, kWaitMs);
    }
};

int count(const QStringList& lines, const QString& line)
{
    return int(lines.count(line));
}
} // namespace

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

namespace {
dev_t deviceOf(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_dev : dev_t(0);
}
} // namespace

class TestFtp : public QObject
{
    Q_OBJECT
private slots:
    // The dialog opens on the stored server, idle.
    void opens()
    {
        DownloadFixture f(QStringLiteral("ftp.example.org"));
        frmFTP window(*f.download);
        QCOMPARE(child<QLineEdit>(window, "txtServer")->text(), QStringLiteral("ftp.example.org"));
        QCOMPARE(child<QLabel>(window, "lblMain")->text(), QStringLiteral("Idle"));
        QCOMPARE(child<QProgressBar>(window, "ProgBar1")->value(), 0);
    }
    // A press takes the typed server; lblMain and the bar follow the download.
    void downloadShown()
    {
        DownloadFixture f;
        QVERIFY(makeProductZip(f.root + "ONETEXT.ZIP", corpusProducts(40), true));
        FtpTestServer server(f.root, {"--rate", "50000"});
        QVERIFY(server.port != 0);
        frmFTP window(*f.download);
        window.show();
        auto* lblMain = child<QLabel>(window, "lblMain");
        auto* bar = child<QProgressBar>(window, "ProgBar1");
        auto* field = child<QLineEdit>(window, "txtServer");
        field->setText(server.address());

        QTest::mouseClick(window.cmdFTP(3), Qt::LeftButton);
        QCOMPARE(f.settings.FTPServer, server.address());
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, kWaitMs);
        QVERIFY(lblMain->text().startsWith("Downloaded: "));
        QTest::mouseClick(window.cmdFTP(6), Qt::LeftButton);
        QCOMPARE(lblMain->text(), QStringLiteral("Already Active"));
        QTRY_COMPARE_WITH_TIMEOUT(lblMain->text(), QStringLiteral("Done"), kWaitMs);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(FileLister::list(f.dataIn), corpusProducts(40));
    }
    // Closing (also by Escape) stops the transfer and saves the typed server.
    void closeCancelsAndSaves()
    {
        DownloadFixture f;
        QVERIFY(makeProductZip(f.root + "THREEIMG.ZIP", corpusProducts(60), true));
        FtpTestServer server(f.root, {"--rate", "40000"});
        QVERIFY(server.port != 0);
        auto* window = new frmFTP(*f.download);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        child<QLineEdit>(*window, "txtServer")->setText(server.address());
        QTest::mouseClick(window->cmdFTP(7), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(f.download->progress() > 0, kWaitMs);

        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(!f.download->busy());
        // Removing the partial download is the cancelled job's last step.
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.programDir + "track/rcv/download.zip"), 5000);
        QCOMPARE(SettingsStore(f.home.path() + "/settings.ini").read("FTP", "FTPServer", ""),
                 server.address());
        QCOMPARE(FileLister::list(f.dataIn), QStringList());
        QVERIFY(!QFile::exists(f.programDir + "track/rcv/FTPIngest.ZIP"));
    }

    // The "1 hour" text button end to end: states, progress, products in Data-In.
    void wholeSet()
    {
        DownloadFixture f;
        const QStringList products = corpusProducts(40);
        QVERIFY(makeProductZip(f.root + "ONETEXT.ZIP", products, true));
        FtpTestServer server(f.root, {"--rate", "50000"});
        QVERIFY(server.port != 0);
        f.settings.FTPServer = server.address();

        f.download->download(3);
        QVERIFY(f.download->busy());
        QVERIFY(f.waitIdle());

        QCOMPARE(f.texts.mid(0, 2), (QStringList{FtpDownload::Standby, FtpDownload::Downloading}));
        QCOMPARE(f.texts.mid(f.texts.size() - 2), (QStringList{"Unzipping", FtpDownload::Done}));
        const QStringList progress = f.texts.mid(2, f.texts.size() - 4);
        QVERIFY2(progress.size() >= 2, qPrintable(progress.join('|')));
        for (const QString& t : progress)
            QVERIFY2(QRegularExpression("^Downloaded: \\d{1,3}%$").match(t).hasMatch(),
                     qPrintable(t));
        QCOMPARE(progress.last(), QStringLiteral("Downloaded: 100%"));
        QVERIFY(std::is_sorted(f.percents.begin(), f.percents.end() - 1));
        QCOMPARE(f.percents.last(), 0); // ProgBar1 back to 0
        QCOMPARE(f.download->progress(), 0);

        QCOMPARE(FileLister::list(f.dataIn), products);
        QVERIFY(QFile::exists(f.programDir + "track/rcv/FTPIngest.ZIP"));
        QCOMPARE(f.status.text(), QStringLiteral("Unzipped Successfully"));
        QCOMPARE(count(server.commands(), "RETR ONETEXT.ZIP"), 1);
        QVERIFY(f.prompter.messages.isEmpty());
    }
    void endings_data()
    {
        QTest::addColumn<QString>("serve"); // file served as ONETEXT.ZIP: zip, junk, none
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<QString>("serverText"); // empty: the local server
        QTest::addColumn<QString>("lblMain");
        QTest::addColumn<QString>("message");

        QTest::newRow("missing file: message, FTP Failed")
            << "none" << true << "" << FtpDownload::FtpFailed << "78 - ";
        QTest::newRow("server down") << "zip" << false << "" << FtpDownload::UnableToConnect << "";
        QTest::newRow("unusable server text")
            << "zip" << true << "no such/host" << FtpDownload::UnableToConnect << "";
        // a file that is no whole archive never takes the place of the last set
        QTest::newRow("not a zip: message, FTP Failed")
            << "junk" << true << "" << FtpDownload::FtpFailed << "18 - ";
    }
    // Each ending clears the busy flag, so that the next press tries again.
    void endings()
    {
        QFETCH(QString, serve);
        QFETCH(bool, serverUp);
        QFETCH(QString, serverText);
        QFETCH(QString, lblMain);
        QFETCH(QString, message);

        DownloadFixture f;
        if (serve == "zip")
            QVERIFY(makeProductZip(f.root + "ONETEXT.ZIP", corpusProducts(2)));
        else if (serve == "junk")
            f.home.write("server/ONETEXT.ZIP", "this is no archive");
        FtpTestServer server(f.root);
        QVERIFY(server.port != 0);
        f.settings.FTPServer = !serverText.isEmpty() ? serverText
                               : serverUp            ? server.address()
                                          : QStringLiteral("127.0.0.1:%1").arg(closedPort());

        for (int press = 1; press <= 2; ++press) {
            f.download->download(3);
            QVERIFY(f.waitIdle());
            QCOMPARE(f.download->status(), lblMain);
            QCOMPARE(f.prompter.messages.size(), message.isEmpty() ? 0 : press);
            QCOMPARE(count(server.commands(), "USER emwin"),
                     serverUp && serverText.isEmpty() ? press : 0);
        }
        if (!message.isEmpty()) {
            const ScriptedPrompter::Shown& shown = f.prompter.messages.first();
            QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text));
            QVERIFY(shown.text.contains("ONETEXT.ZIP"));
            QVERIFY(shown.title.isEmpty());
            QCOMPARE(shown.icon, IPrompter::Icon::None);
        }
        QCOMPARE(FileLister::list(f.dataIn), QStringList());
        QVERIFY(!QFile::exists(f.programDir + "track/rcv/download.zip"));
        QVERIFY(!QFile::exists(f.programDir + "track/rcv/FTPIngest.ZIP"));
    }
    void alreadyActive()
    {
        DownloadFixture f;
        QVERIFY(makeProductZip(f.root + "FIFTEEN.ZIP", corpusProducts(30), true));
        QVERIFY(makeProductZip(f.root + "ONEIMAGE.ZIP", corpusProducts(2)));
        FtpTestServer server(f.root, {"--rate", "50000"});
        QVERIFY(server.port != 0);
        f.settings.FTPServer = server.address();

        f.download->download(2);
        QTRY_VERIFY_WITH_TIMEOUT(f.download->status().startsWith("Downloaded: "), kWaitMs);
        const QStringList before = f.texts;
        f.download->download(6);
        QCOMPARE(f.download->status(), FtpDownload::AlreadyActive);
        QCOMPARE(f.texts.mid(before.size()), QStringList{FtpDownload::AlreadyActive});
        QVERIFY(f.waitIdle());
        QCOMPARE(f.download->status(), FtpDownload::Done);
        QCOMPARE(count(server.commands(), "RETR FIFTEEN.ZIP"), 1);
        QCOMPARE(count(server.commands(), "RETR ONEIMAGE.ZIP"), 0);
    }
    void buttonsWithoutSet_data()
    {
        QTest::addColumn<int>("index");
        for (int index : {0, 1, 8, 9, 10, 11, 12, 13})
            QTest::addRow("cmdFTP %d", index) << index;
    }
    void buttonsWithoutSet()
    {
        QFETCH(int, index);
        DownloadFixture f(QStringLiteral("127.0.0.1:%1").arg(closedPort()));
        f.download->download(index);
        QVERIFY(!f.download->busy());
        QCOMPARE(f.download->status(), FtpDownload::Idle);
        QVERIFY(f.texts.isEmpty());
    }
    // A changed server is used by the next download and saved when the dialog
    // closes, so that the next run starts with it.
    void serverSettingKept()
    {
        DownloadFixture f(QStringLiteral("127.0.0.1:%1").arg(closedPort()));
        QVERIFY(makeProductZip(f.root + "IMAGEGIF.ZIP", corpusProducts(1)));
        FtpTestServer server(f.root);
        QVERIFY(server.port != 0);

        f.download->download(5);
        QVERIFY(f.waitIdle());
        QCOMPARE(f.download->status(), FtpDownload::UnableToConnect);
        f.download->setServer(server.address());
        f.download->download(5);
        QVERIFY(f.waitIdle());
        QCOMPARE(f.download->status(), FtpDownload::Done);
        f.download->dialogClosing();

        Settings next;
        next.readStartupKeys(SettingsStore(f.home.path() + "/settings.ini"), nullptr);
        QCOMPARE(next.FTPServer, server.address());
        QCOMPARE(f.download->dialogOpened(), server.address());
        QCOMPARE(f.download->status(), FtpDownload::Idle);
    }
    // Closing the dialog stops a transfer at once: nothing is kept, nothing is
    // extracted, and the object can go away without waiting for the transfer.
    void closingCancels()
    {
        DownloadFixture f;
        QVERIFY(makeProductZip(f.root + "THREETXT.ZIP", corpusProducts(60), true));
        f.home.write("prog/track/rcv/FTPIngest.ZIP", "earlier set");
        FtpTestServer server(f.root, {"--rate", "50000"});
        QVERIFY(server.port != 0);
        f.settings.FTPServer = server.address();

        f.download->download(4);
        QTRY_VERIFY_WITH_TIMEOUT(f.download->status().startsWith("Downloaded: "), kWaitMs);
        QVERIFY(QFile::exists(f.programDir + "track/rcv/download.zip"));
        f.download->dialogClosing();
        QVERIFY(!f.download->busy());
        QCOMPARE(f.download->progress(), 0);
        QElapsedTimer timer;
        timer.start();
        f.download.reset();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));

        QVERIFY(!QFile::exists(f.programDir + "track/rcv/download.zip"));
        QCOMPARE(readBytes(f.programDir + "track/rcv/FTPIngest.ZIP"), QByteArray("earlier set"));
        QCOMPARE(FileLister::list(f.dataIn), QStringList());
        QVERIFY(!f.texts.contains(FtpDownload::Done));
        QVERIFY(f.prompter.messages.isEmpty());
    }

    void outcome_data()
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
            << "ONETEXT.ZIP" << QStringList() << false << done << 0 << "" << qint64(0)
            << qint64(-1);
        QTest::newRow("missing file") << "THREETXT.ZIP" << QStringList() << false << failed << 78
                                      << "THREETXT.ZIP" << qint64(0) << qint64(-1);
        QTest::newRow("data connection broken off, server says 426")
            << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:abort"} << false << failed
            << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
        QTest::newRow("data connection ends early, server says 226")
            << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:short"} << false << failed
            << FtpJob::PartialTransferNumber << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
        QTest::newRow("server ends in mid-transfer")
            << "ONETEXT.ZIP" << QStringList{"--cut", "ONETEXT.ZIP:3000:die"} << false << failed
            << -1 << "ONETEXT.ZIP" << qint64(0) << qint64(-1);
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
            << "ONETEXT.ZIP" << noSize << false << failed << FtpClient::TooLargeCode
            << "ONETEXT.ZIP" << qint64(1000) << qint64(-1);
    }
    void outcome()
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
    void waitingProductsStay()
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
    void permissionRetries_data()
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
    void permissionRetries()
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

        const FtpResult result =
            f.run(f.request(server.port, "FIFTEEN.ZIP"), [&](const QString& text) {
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
    void serverAddress_data()
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
    void serverAddress()
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

    void deliver_data()
    {
        QTest::addColumn<QStringList>("waiting");   // in Data-In before
        QTest::addColumn<QStringList>("delivered"); // names delivered, in order
        QTest::addColumn<QStringList>("arrived");   // names they arrived as
        QTest::addColumn<bool>("otherFileSystem");

        QTest::newRow("free name")
            << QStringList{} << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT"} << false;
        QTest::newRow("name waiting") << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT"}
                                      << QStringList{"AFDGRRMI.TXT@1"} << false;
        QTest::newRow("after the highest version waiting")
            << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT@2", "AFDGRRMI.TXT@10"}
            << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT@11"} << false;
        QTest::newRow("version waiting without the plain name")
            << QStringList{"AFDGRRMI.TXT@3"} << QStringList{"AFDGRRMI.TXT"}
            << QStringList{"AFDGRRMI.TXT@4"} << false;
        QTest::newRow("other names do not count")
            << QStringList{"AFDGRRMI.TXTX", "AFDGRRMI.TXT@x", "XAFDGRRMI.TXT"}
            << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT"} << false;
        QTest::newRow("name waiting in other case")
            << QStringList{"afdgrrmi.txt"} << QStringList{"AFDGRRMI.TXT"}
            << QStringList{"AFDGRRMI.TXT@1"} << false;
        QTest::newRow("two of one name in one delivery")
            << QStringList{} << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT"}
            << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT@1"} << false;
        QTest::newRow("from another file system")
            << QStringList{"AFDGRRMI.TXT"} << QStringList{"AFDGRRMI.TXT", "TORGRRMI.TXT"}
            << QStringList{"AFDGRRMI.TXT@1", "TORGRRMI.TXT"} << true;
    }
    void deliver()
    {
        QFETCH(QStringList, waiting);
        QFETCH(QStringList, delivered);
        QFETCH(QStringList, arrived);
        QFETCH(bool, otherFileSystem);

        TestHome home;
        const QString dataIn = home.path() + QStringLiteral("/transfer/");
        QDir().mkpath(dataIn);
        QTemporaryDir shm(QStringLiteral("/dev/shm/vantorel-delivery-XXXXXX"));
        const QString from = otherFileSystem ? shm.path() + QStringLiteral("/")
                                             : home.path() + QStringLiteral("/unpacked/");
        if (otherFileSystem && (!shm.isValid() || deviceOf(shm.path()) == deviceOf(dataIn)))
            QSKIP("no second file system here");
        QDir().mkpath(from);
        for (const QString& name : waiting)
            home.write("transfer/" + name, "waiting " + name.toUtf8());

        DataInDelivery delivery(dataIn);
        for (int i = 0; i < delivered.size(); ++i) {
            const QString source = from + delivered[i];
            QFile f(source);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("new " + QByteArray::number(i));
            f.close();
            const DataInDelivery::Result result = delivery.deliver(source, delivered[i]);
            QVERIFY2(!result.error, result.error.message().c_str());
            QCOMPARE(result.path, dataIn + arrived[i]);
            QCOMPARE(readBytes(result.path), "new " + QByteArray::number(i));
            QVERIFY(!QFile::exists(source));
        }
        for (const QString& name : waiting)
            QCOMPARE(readBytes(dataIn + name), "waiting " + name.toUtf8());
        QStringList all = waiting + arrived;
        all.sort();
        QStringList present = QDir(dataIn).entryList(QDir::Files | QDir::Hidden);
        present.sort();
        QCOMPARE(present, all); // no temporary file left behind
    }
};

QTEST_MAIN(TestFtp)
#include "tst_ftp.moc"
