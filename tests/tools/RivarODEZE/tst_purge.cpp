#include "ArchivePurge.h"
#include "TestSupport.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

Q_DECLARE_METATYPE(ArchivePurge::Store)

namespace {

const QDateTime kNow = QDateTime::currentDateTime();

// Creates a file aged the given number of minutes.
void makeFile(const QString& path, int ageMinutes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("product\r\r\n");
    f.flush(); // written before the time is set, or closing would touch it
    QVERIFY(f.setFileTime(kNow.addSecs(-60 * ageMinutes), QFileDevice::FileModificationTime));
}

// The store of a test: text/, images/ and hourly/ below a private home, and
// outside/ with files that must survive every purge.
struct Store
{
    TestHome home;
    QString text = home.file("text/");
    QString images = home.file("images/");
    QString hourly = home.file("hourly/");
    QString outside = home.file("outside/");

    Store()
    {
        for (const QString& d : {text, images, hourly, outside})
            QDir().mkpath(d);
        makeFile(outside + "AFDGRR   ~KGRR~MI", 100 * 60);
        makeFile(outside + "victim.txt", 100 * 60);
    }
    QList<ArchivePurge::Directory> directories() const
    {
        return {{ArchivePurge::Store::Text, text},
                {ArchivePurge::Store::Images, images},
                {ArchivePurge::Store::Hourly, hourly}};
    }
    // Every path below the home, sorted, relative, links marked "->".
    QStringList contents() const
    {
        QStringList result;
        for (const QString d : {"text/", "images/", "hourly/", "outside/"}) {
            const QDir dir(home.file(d));
            for (const QString& name : dir.entryList(
                     QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
                const QFileInfo info(dir.filePath(name));
                result << d + name + (info.isSymLink() ? QStringLiteral(" ->") : QString());
            }
        }
        return result;
    }
};

} // namespace

class TestPurge : public QObject
{
    Q_OBJECT
private slots:
    void storeNames_data()
    {
        QTest::addColumn<ArchivePurge::Store>("store");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        const auto text = ArchivePurge::Store::Text;
        const auto images = ArchivePurge::Store::Images;
        const auto hourly = ArchivePurge::Store::Hourly;
        QTest::newRow("key") << text << "AFDGRR   ~KGRR~MI" << true;
        QTest::newRow("key version") << text << "AFDGRR   ~KGRR~MI.3" << true;
        QTest::newRow("key, long identifier") << text << "MTRSP8ABC~KWBC~US" << true;
        QTest::newRow("key, short state") << text << "FXUS63   ~KGRR~" << true;
        QTest::newRow("web page") << text << "TORGRRMI.HTM" << true;
        QTest::newRow("key, identifier too short") << text << "AFDGRR~KGRR~MI" << false;
        QTest::newRow("key, other suffix") << text << "AFDGRR   ~KGRR~MI.bak" << false;
        QTest::newRow("key, many versions kept") << text << "AFDGRR   ~KGRR~MI.1234" << true;
        QTest::newRow("key, version too long") << text << "AFDGRR   ~KGRR~MI.123456" << false;
        QTest::newRow("key, version with a leading zero")
            << text << "AFDGRR   ~KGRR~MI.01" << false;
        QTest::newRow("user file") << text << "notes.txt" << false;
        QTest::newRow("hidden") << text << ".profile" << false;
        QTest::newRow("image") << images << "RADUSAPN-12051507.GIF" << true;
        QTest::newRow("image jpg") << images << "RADUSAPN-12051507.JPG" << true;
        // the store upper-cases every name it gives
        QTest::newRow("image, lower case") << images << "radusapn-12051507.jpg" << false;
        QTest::newRow("camera picture") << images << "IMG-20240101.jpg" << false;
        QTest::newRow("camera picture, upper case") << images << "IMG-20240101.JPG" << false;
        QTest::newRow("image, no such time") << images << "RADUSAPN-12321507.GIF" << false;
        QTest::newRow("image without stamp") << images << "RADUSAPN.GIF" << false;
        QTest::newRow("image, short stamp") << images << "RADUSAPN-1205150.GIF" << false;
        QTest::newRow("photo") << images << "holiday.jpg" << false;
        QTest::newRow("key in the image store") << images << "AFDGRR   ~KGRR~MI" << false;
        QTest::newRow("hourly copy") << hourly << "SAHOURLY.12051507.TXT" << true;
        QTest::newRow("hourly collection") << hourly << "SAHOURLY.TXT" << true;
        QTest::newRow("rcm copy") << hourly << "SAORCMUS.12051507.TXT" << true;
        QTest::newRow("compressed collection") << hourly << "SFCOBSUS.ZIS" << true;
        QTest::newRow("other archive") << hourly << "BACKUP.ZIS" << false;
        QTest::newRow("hourly readme") << hourly << "README.TXT" << false;
        QTest::newRow("hourly notes") << hourly << "notes.txt" << false;
        QTest::newRow("dated copy of another name") << hourly << "MYNOTES.12051507.TXT" << false;
        QTest::newRow("hourly copy, lower case") << hourly << "sahourly.12051507.txt" << false;
        QTest::newRow("hourly copy, no such time") << hourly << "SAHOURLY.12051567.TXT" << false;
        QTest::newRow("hourly backup") << hourly << "SAHOURLY.TXT.bak" << false;
        QTest::newRow("readme") << hourly << "README.md" << false;
    }
    void storeNames()
    {
        QFETCH(ArchivePurge::Store, store);
        QFETCH(QString, name);
        QTEST(ArchivePurge::isStoreFile(store, name), "known");
    }
    void purge_data()
    {
        // files: "dir/name:age in minutes"; "dir/name@target" makes a link;
        // "dir/name/" a directory.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<double>("hours");
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<QStringList>("removed"); // relative to the home

        QTest::newRow("old go, new stay")
            << QStringList{"text/AFDGRR   ~KGRR~MI:10",        "text/AFDGRR   ~KGRR~MI.1:200",
                           "images/RADUSAPN-12051507.GIF:300", "images/RADUSAPN-12051607.GIF:5",
                           "hourly/SAHOURLY.12051507.TXT:121", "hourly/SAHOURLY.12051707.TXT:119"}
            << 2.0 << false
            << QStringList{"text/AFDGRR   ~KGRR~MI.1", "images/RADUSAPN-12051507.GIF",
                           "hourly/SAHOURLY.12051507.TXT"};
        QTest::newRow("files that are not the store's stay")
            << QStringList{"text/notes.txt:900",          "images/holiday.jpg:900",
                           "images/IMG-20240101.jpg:900", "hourly/README.md:900",
                           "hourly/README.TXT:900",       "hourly/notes.txt:900"}
            << 1.0 << false << QStringList{};
        // The product lists, menus and requests name the newest version of a key
        // (and the newest picture of an image), which may be older than the
        // purge time for products issued once a day: only older versions go.
        QTest::newRow("the newest of each product stays however old")
            << QStringList{"text/AFDGRR   ~KGRR~MI:900",
                           "text/AFDGRR   ~KGRR~MI.1:950",
                           "text/TORGRRMI.HTM:900",
                           "images/RADUSAPN-12051507.GIF:900",
                           "images/RADUSAPN-12051508.GIF:890",
                           "images/RADNE-12051507.JPG:900",
                           "hourly/SAHOURLY.TXT:900",
                           "hourly/SFCOBSUS.ZIS:900",
                           "hourly/SAHOURLY.12051507.TXT:900"}
            << 1.0 << false
            << QStringList{"text/AFDGRR   ~KGRR~MI.1", "images/RADUSAPN-12051507.GIF",
                           "hourly/SAHOURLY.12051507.TXT"};
        QTest::newRow("the newest picture by time, not by name")
            << QStringList{"images/RADUSAPN-12312350.GIF:900", "images/RADUSAPN-01010010.GIF:880"}
            << 1.0 << false << QStringList{"images/RADUSAPN-12312350.GIF"};
        QTest::newRow("links are never followed nor removed")
            << QStringList{"text/TORGRR   ~KGRR~MI@outside/victim.txt",
                           "images/RADUSAPN-12051507.GIF@outside/victim.txt",
                           "hourly/SAHOURLY.TXT@outside/AFDGRR   ~KGRR~MI",
                           "text/FFWGRR   ~KGRR~MI@outside/missing"}
            << 1.0 << false << QStringList{};
        QTest::newRow("directories stay")
            << QStringList{"text/AFDGRR   ~KGRR~MI.2/"} << 0.001 << false << QStringList{};
        QTest::newRow("dry run removes nothing")
            << QStringList{"text/AFDGRR   ~KGRR~MI.2:600"} << 1.0 << true
            << QStringList{"text/AFDGRR   ~KGRR~MI.2"};
        QTest::newRow("fractions of an hour")
            << QStringList{"text/A1       ~KGRR~MI.1:40", "text/A2       ~KGRR~MI.1:20"} << 0.5
            << false << QStringList{"text/A1       ~KGRR~MI.1"};
        QTest::newRow("purge time zero removes nothing")
            << QStringList{"text/AFDGRR   ~KGRR~MI.1:600"} << 0.0 << false << QStringList{};
        QTest::newRow("negative purge time removes nothing")
            << QStringList{"text/AFDGRR   ~KGRR~MI.1:600"} << -5.0 << false << QStringList{};
    }
    void purge()
    {
        QFETCH(QStringList, files);
        QFETCH(double, hours);
        QFETCH(bool, dryRun);
        QFETCH(QStringList, removed);
        Store store;
        for (const QString& f : files) {
            if (f.endsWith(QLatin1Char('/'))) {
                QDir().mkpath(store.home.file(f));
            } else if (f.contains(QLatin1Char('@'))) {
                QVERIFY(QFile::link(store.home.file(f.section('@', 1)),
                                    store.home.file(f.section('@', 0, 0))));
            } else {
                makeFile(store.home.file(f.section(':', 0, 0)), f.section(':', 1).toInt());
            }
        }
        const QStringList before = store.contents();
        const ArchivePurge::Report report =
            ArchivePurge(store.directories(), hours).run(kNow, dryRun);
        QStringList reported;
        for (const QString& path : report.removed)
            reported << QDir(store.home.path()).relativeFilePath(path);
        reported.sort();
        removed.sort();
        QCOMPARE(reported, removed);
        QVERIFY(report.failed.isEmpty());
        QStringList expected = before;
        if (!dryRun) {
            for (const QString& r : removed)
                expected.removeAll(r);
        }
        QCOMPARE(store.contents(), expected);
    }
    // One directory named for two stores is gone through once, knowing both.
    void sameDirectoryForTwoStores()
    {
        Store store;
        makeFile(store.text + "AFDGRR   ~KGRR~MI.1", 600);
        makeFile(store.text + "RADUSAPN-12051507.GIF", 600);
        makeFile(store.text + "RADUSAPN-12051508.GIF", 500);
        makeFile(store.text + "notes.txt", 600);
        const ArchivePurge purge({{ArchivePurge::Store::Text, store.text},
                                  {ArchivePurge::Store::Images, store.text + "../text"}},
                                 1);
        const ArchivePurge::Report report = purge.run(kNow, false);
        QCOMPARE(report.removed.size(), 2);
        QCOMPARE(QDir(store.text).entryList(QDir::Files),
                 (QStringList{"notes.txt", "RADUSAPN-12051508.GIF"}));
    }
    // The program as the main program starts it: no arguments, everything from
    // the shared settings; a dry run first.
    void program()
    {
        Store store;
        SettingsStore settings;
        settings.write("Config", "TextPath", store.text);
        settings.write("Config", "GIFPath", store.images);
        settings.write("Config", "SAPath", store.hourly);
        settings.write("Config", "Purge", " 3");
        QVERIFY(settings.sync());
        makeFile(store.text + "AFDGRR   ~KGRR~MI", 6 * 60);
        makeFile(store.text + "AFDGRR   ~KGRR~MI.1", 60);
        makeFile(store.text + "AFDGRR   ~KGRR~MI.2", 5 * 60);
        makeFile(store.images + "RADUSAPN-12051507.GIF", 4 * 60);
        makeFile(store.images + "RADUSAPN-12051607.GIF", 4 * 60 - 1);
        QVERIFY(QFile::link(store.outside + "victim.txt", store.hourly + "SAHOURLY.TXT"));

        QProcess dry;
        dry.start(VANTOREL_PURGE_PROGRAM, {"--dry-run"});
        QVERIFY(dry.waitForFinished(20000));
        QCOMPARE(dry.exitCode(), 0);
        const QByteArray dryOut = dry.readAllStandardOutput();
        QVERIFY2(dryOut.contains("would remove " + store.text.toUtf8() + "AFDGRR   ~KGRR~MI.2\n"),
                 dryOut.constData());
        QCOMPARE(QDir(store.text).entryList(QDir::Files).size(), 3);

        QProcess run;
        run.start(VANTOREL_PURGE_PROGRAM, {});
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(QDir(store.text).entryList(QDir::Files),
                 (QStringList{"AFDGRR   ~KGRR~MI", "AFDGRR   ~KGRR~MI.1"}));
        QCOMPARE(QDir(store.images).entryList(QDir::Files), QStringList{"RADUSAPN-12051607.GIF"});
        QVERIFY(QFileInfo(store.hourly + "SAHOURLY.TXT").isSymLink());
        QVERIFY(QFile::exists(store.outside + "victim.txt"));
        const QByteArray log = readBytes(store.home.file(".local/share/vantorel/purge-log.txt"));
        QVERIFY2(log.contains("removed " + store.images.toUtf8() + "RADUSAPN-12051507.GIF\r\n"),
                 log.constData());
        QVERIFY(log.contains("Purge: 2 removed, 3 kept, older than 3 hours."));
        QVERIFY(log.contains("Purge (dry run): 2 to remove"));

        QProcess help;
        help.start(VANTOREL_PURGE_PROGRAM, {"--help"});
        QVERIFY(help.waitForFinished(20000));
        QCOMPARE(help.exitCode(), 0);
        QVERIFY(help.readAllStandardOutput().contains("--dry-run"));
    }
};

QTEST_GUILESS_MAIN(TestPurge)
#include "tst_purge.moc"
