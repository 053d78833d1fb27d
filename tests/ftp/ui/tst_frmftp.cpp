// The "FTP Engine" dialog: its grid of set buttons, the server field, and
// lblMain and the progress bar following a download from a local server.
#include "../FtpTestServer.h"
#include "app/FtpExtraction.h"
#include "core/AlarmFile.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ftp/FtpDownload.h"
#include "ftp/ui/frmFTP.h"
#include "platform/FileLister.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
constexpr int kWaitMs = 20000;

struct DialogFixture
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
    FtpDownload download{programDir, settings, store, prompter, extraction};

    DialogFixture()
    {
        QDir().mkpath(root);
        QDir().mkpath(dataIn);
        settings.TransferPath = dataIn;
        download.setTimeouts(5, 5);
    }
};

template <typename T> T* child(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}
} // namespace

class TestFrmFtp : public QObject
{
    Q_OBJECT
private slots:
    void buttons_data();
    void buttons();
    void opens();
    void downloadShown();
    void closeCancelsAndSaves();
};

void TestFrmFtp::buttons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("text 15min") << 2 << "X"
                                << "FIFTEEN" << true;
    QTest::newRow("text 1 hour") << 3 << "X"
                                 << "ONETEXT" << true;
    QTest::newRow("text 3 hours") << 4 << "X"
                                  << "THREETXT" << true;
    QTest::newRow("images 15min") << 5 << "X"
                                  << "IMAGEGIF" << true;
    QTest::newRow("images 1 hour") << 6 << "X"
                                   << "ONEIMAGE" << true;
    QTest::newRow("images 3 hours") << 7 << "X"
                                    << "THREEIMG" << true;
    QTest::newRow("afos 15min") << 8 << ""
                                << "*.GPH files" << false;
    QTest::newRow("afos 1 hour") << 9 << ""
                                 << "*.GPH files" << false;
    QTest::newRow("afos 3 hours") << 10 << ""
                                  << "*.GPH files" << false;
    QTest::newRow("rcm reports") << 11 << "SAORCMUS"
                                 << "Hourly RCM Reports" << false;
    QTest::newRow("metar reports") << 12 << "SAHOURLY"
                                   << "Hourly METAR Reports" << false;
}

void TestFrmFtp::buttons()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(bool, enabled);
    DialogFixture f;
    frmFTP window(f.download);
    QPushButton* button = window.cmdFTP(index);
    QVERIFY(button);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->toolTip(), toolTip);
    QCOMPARE(button->isEnabled(), enabled);
}

void TestFrmFtp::opens()
{
    DialogFixture f;
    f.settings.FTPServer = QStringLiteral("ftp.example.org");
    frmFTP window(f.download);
    QCOMPARE(window.windowTitle(), QStringLiteral("FTP Engine"));
    auto* server = child<QLineEdit>(window, "txtServer");
    QCOMPARE(server->text(), QStringLiteral("ftp.example.org"));
    QCOMPARE(server->toolTip(), QStringLiteral("FTP Server for zip files"));
    auto* lblMain = child<QLabel>(window, "lblMain");
    QCOMPARE(lblMain->text(), QStringLiteral("Idle"));
    QCOMPARE(lblMain->toolTip(), QStringLiteral("Status Window"));
    QCOMPARE(child<QProgressBar>(window, "ProgBar1")->value(), 0);
}

// A press takes the typed server; lblMain and the bar follow the download.
void TestFrmFtp::downloadShown()
{
    DialogFixture f;
    QVERIFY(makeProductZip(f.root + "ONETEXT.ZIP", corpusProducts(40), true));
    FtpTestServer server(f.root, {"--rate", "50000"});
    QVERIFY(server.port != 0);
    frmFTP window(f.download);
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
void TestFrmFtp::closeCancelsAndSaves()
{
    DialogFixture f;
    QVERIFY(makeProductZip(f.root + "THREEIMG.ZIP", corpusProducts(60), true));
    FtpTestServer server(f.root, {"--rate", "40000"});
    QVERIFY(server.port != 0);
    auto* window = new frmFTP(f.download);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    child<QLineEdit>(*window, "txtServer")->setText(server.address());
    QTest::mouseClick(window->cmdFTP(7), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.download.progress() > 0, kWaitMs);

    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!f.download.busy());
    // Removing the partial download is the cancelled job's last step.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(f.programDir + "track/rcv/download.zip"), 5000);
    QCOMPARE(SettingsStore(f.home.path() + "/settings.ini").read("FTP", "FTPServer", ""),
             server.address());
    QCOMPARE(FileLister::list(f.dataIn), QStringList());
    QVERIFY(!QFile::exists(f.programDir + "track/rcv/FTPIngest.ZIP"));
}

QTEST_MAIN(TestFrmFtp)
#include "tst_frmftp.moc"
