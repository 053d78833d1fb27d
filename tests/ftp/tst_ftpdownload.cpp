// The download behind the FTP dialog, on its worker thread, against a real
// local FTP server: the lblMain texts in order, progress, the busy flag, the
// messages of failures, the server setting, and cancelling on close.
#include "FtpTestServer.h"
#include "app/FtpExtraction.h"
#include "core/AlarmFile.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ftp/FtpDownload.h"
#include "ftp/FtpJob.h"
#include "platform/FileLister.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

namespace {
constexpr int kWaitMs = 20000;

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

class TestFtpDownload : public QObject
{
    Q_OBJECT
private slots:
    void wholeSet();
    void endings_data();
    void endings();
    void alreadyActive();
    void buttonsWithoutSet_data();
    void buttonsWithoutSet();
    void serverSettingKept();
    void closingCancels();
};

// The "1 hour" text button end to end: states, progress, products in Data-In.
void TestFtpDownload::wholeSet()
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
        QVERIFY2(QRegularExpression("^Downloaded: \\d{1,3}%$").match(t).hasMatch(), qPrintable(t));
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

void TestFtpDownload::endings_data()
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
void TestFtpDownload::endings()
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

void TestFtpDownload::alreadyActive()
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

void TestFtpDownload::buttonsWithoutSet_data()
{
    QTest::addColumn<int>("index");
    for (int index : {0, 1, 8, 9, 10, 11, 12, 13})
        QTest::addRow("cmdFTP %d", index) << index;
}

void TestFtpDownload::buttonsWithoutSet()
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
void TestFtpDownload::serverSettingKept()
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
void TestFtpDownload::closingCancels()
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

QTEST_GUILESS_MAIN(TestFtpDownload)
#include "tst_ftpdownload.moc"
