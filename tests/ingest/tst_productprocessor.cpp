#include "TestSupport.h"
#include "core/IAlarmLoops.h"
#include "core/IMetarHooks.h"
#include "ingest/DataInPoller.h"
#include "ingest/ProductProcessor.h"
#include "platform/FileLister.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "product/FiledProduct.h"
#include "product/ProductKey.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

namespace {
class RecordingAlarmLoops : public IAlarmLoops
{
public:
    void runAlarms(const FiledProduct& p) override
    {
        if (p.kind == FiledProduct::Kind::Text)
            calls << QStringLiteral("id ") + p.identifier + QLatin1Char('|') + p.key;
        else
            calls << QStringLiteral("name ") + p.productName + QLatin1Char('|') + p.storedName;
        filed << p;
    }
    QStringList calls;
    QList<FiledProduct> filed;
};

class RecordingMetarHooks : public IMetarHooks
{
public:
    void GetHourly(const QString& stations, bool displayIt) override
    {
        calls << QStringLiteral("GetHourly %1 %2").arg(stations).arg(displayIt);
    }
    void GetOffHourly(const QString& stations, const QString& key, bool displayIt) override
    {
        calls << QStringLiteral("GetOffHourly %1 %2 %3").arg(stations, key).arg(displayIt);
    }
    void AlarmMetar(const QString& kind) override { calls << QStringLiteral("AlarmMetar ") + kind; }
    QStringList calls;
};

// A processor whose product files cannot be opened, as while an engine
// still holds them.
class LockedProcessor : public ProductProcessor
{
public:
    using ProductProcessor::ProductProcessor;

protected:
    bool openProduct(QFile&) const override { return false; }
};

const QByteArray kAfd = "FXUS63 KGRR 051200\r\r\nAFDGRR\r\r\n\r\r\nAREA FORECAST DISCUSSION\r\r\n";
const QString kAfdKey = QStringLiteral("AFDGRR   ~KGRR~MI");

struct Fixture : CoreFixture
{
    QString prog = programDir;
    RecordingAlarmLoops loops;
    RecordingMetarHooks metar;
    ProductProcessor::Context context{programDir, settings, tables,      menus, alarms,   status,
                                      display,    lists,    newProducts, clock, launcher, prompter};
    ProductProcessor processor{context, loops, metar};

    Fixture()
    {
        useIngestDirectories();
        clock.current = QDateTime(QDate(2026, 12, 5), QTime(15, 7, 30));
    }
    void drop(const QString& name, const QByteArray& bytes) const
    {
        QFile file(settings.TransferPath + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void process(const QString& name, const QByteArray& bytes)
    {
        drop(name, bytes);
        processor.ProcessData(name);
    }
    QStringList dataIn() const { return FileLister::list(settings.TransferPath); }
    QStringList text() const { return FileLister::list(settings.TextPath); }
    QStringList bad() const { return FileLister::list(processor.quarantineDir()); }
    QByteArray filed(const QString& name) const { return readBytes(settings.TextPath + name); }
    void loadMenu(const QByteArray& text)
    {
        const QString path = home.write(QStringLiteral("prog/Vantorel-MainMenu.txt"), text);
        menus.loadMainMenu(path);
    }
};

// A ZIP archive built with libzip from name/content pairs.
void writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& members)
{
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(archive);
    for (const auto& [name, bytes] : members) {
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), bytes.size(), 0);
        QVERIFY(zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_OVERWRITE) >= 0);
    }
    QCOMPARE(zip_close(archive), 0);
}
} // namespace

class TestProductProcessor : public QObject
{
    Q_OBJECT
private slots:
    void textProductIsFiledListedAndReceipted();
    void sequenceLineForm_data();
    void sequenceLineForm();
    void versionsRotate_data();
    void versionsRotate();
    void atSuffixIsCutForStateAndReceipt();
    void receiptReplacesWhatWasThere_data();
    void receiptReplacesWhatWasThere();
    void sameProductFromBothFeedsFiledOnce();
    void imageIsFiledUnderTimestampName();
    void filedProductDescribesWhatWasFiled_data();
    void filedProductDescribesWhatWasFiled();
    void discardsByRule_data();
    void discardsByRule();
    void filterSparesTestStation();
    void retentionFromOfficeTableAndLongListLine();
    void localListAndCap();
    void speciAndMetarHooks();
    void statusFileAndWebPage();
    void compressedProductLandsInDataIn();
    void damagedCompressedProductIsQuarantined();
    void hourlyCollectionIsKeptAndTimestamped();
    void failedFilingGoesToQuarantine();
    void hostileContentCannotLeaveTextPath_data();
    void hostileContentCannotLeaveTextPath();
    void emptyFileIsQuarantinedWithReport();
    void unreadableFileIsRetriedOnceThenLeft();
    void pollerRetriesAndMovesOn();
    void hugeAndBinaryFiles();
    void crossFileSystemMove();
    void wholeCorpus();
};

void TestProductProcessor::textProductIsFiledListedAndReceipted()
{
    Fixture f;
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(f.text(), QStringList({kAfdKey}));
    QCOMPARE(f.filed(kAfdKey), kAfd);
    QCOMPARE(readBytes(f.settings.receiptDir() + "AFDGRRMI.TXT"), (kAfdKey + "\r\n").toLatin1());
    QCOMPARE(f.lists.live().texts(), QStringList({kAfdKey}));
    QCOMPARE(f.status.text(), QStringLiteral("Received AFDGRR from KGRR"));
    QCOMPARE(f.newProducts.ddeHeader(), "AFDGRRMI.TXT," + kAfdKey);
    QCOMPARE(f.newProducts.entries(), QStringList({kAfdKey, "none", "none", "none", "none"}));
    QCOMPARE(NewProducts::caption(f.newProducts.entries().first()), "AFDGRR");
    QCOMPARE(f.loops.calls, QStringList({"id AFDGRR|" + kAfdKey}));
    QCOMPARE(f.processor.lastDataTime(), f.clock.current);
    QVERIFY(f.metar.calls.isEmpty());
}

void TestProductProcessor::sequenceLineForm_data()
{
    QTest::addColumn<bool>("table");
    QTest::addColumn<QString>("key");
    QTest::newRow("header table entry") << true << kAfdKey;
    QTest::newRow("no entry: TTAAii") << false << QStringLiteral("FXUS63   ~KGRR~MI");
}

void TestProductProcessor::sequenceLineForm()
{
    QFETCH(bool, table);
    Fixture f;
    if (table)
        f.tables.loadAwipsHeaders(
            f.home.write("prog/awips-headers.csv", "TORGRRMI,TORGRR\r\nAFDGRRMI,AFDGRR\r\n"));
    f.process(QStringLiteral("AFDGRRMI.TXT"), "000 \r\r\nFXUS63 KGRR 051200\r\r\nAFDGRR\r\r\n");
    QTEST(f.text().value(0), "key");
    QVERIFY(f.dataIn().isEmpty());
}

void TestProductProcessor::versionsRotate_data()
{
    QTest::addColumn<int>("keep");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QByteArray>("oldest"); // content of the highest version
    QTest::newRow("N=0") << 0 << QStringList({kAfdKey}) << QByteArray("4");
    QTest::newRow("N=1") << 1 << QStringList({kAfdKey, kAfdKey + ".1"}) << QByteArray("3");
    QTest::newRow("N=3") << 3
                         << QStringList({kAfdKey, kAfdKey + ".1", kAfdKey + ".2", kAfdKey + ".3"})
                         << QByteArray("1");
}

void TestProductProcessor::versionsRotate()
{
    QFETCH(int, keep);
    QFETCH(QStringList, files);
    QFETCH(QByteArray, oldest);
    Fixture f;
    f.loadMenu("[Forecasts]\r\nOther,ZFPXXX,7\r\nArea Forecast Discussion,XXXAFD," +
               QByteArray::number(keep) + "\r\n");
    for (int i = 1; i <= 4; ++i)
        f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd + QByteArray::number(i));
    QCOMPARE(f.text(), files);
    QVERIFY(f.filed(kAfdKey).endsWith("4"));
    QVERIFY(f.filed(files.last()).endsWith(oldest));
}

// The broadcast's copy (framing, padding) and the Weather Wire's copy of one
// product: filed once, the drop counted and logged; a correction is filed.
void TestProductProcessor::sameProductFromBothFeedsFiledOnce()
{
    Fixture f;
    f.process(QStringLiteral("AFDGRRMI.TXT"), "\x01\r\r\n123 \r\r\n" + kAfd + "\x03\r\r\n");
    f.process(QStringLiteral("AFDGRRMI.TXT@1"), kAfd);
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(f.text(), QStringList({kAfdKey}));
    QCOMPARE(f.processor.duplicates().dropped(), 1);
    QCOMPARE(f.status.text(), QStringLiteral("Duplicate AFDGRRMI.TXT dropped (1 so far)"));
    QVERIFY(readBytes(f.prog + "track/duplicates.log").contains("dropped AFDGRRMI.TXT"));

    f.process(QStringLiteral("AFDGRRMI.TXT"), QByteArray(kAfd).replace("051200", "051200 CCA"));
    QCOMPARE(f.text().size(), 2);
    QCOMPARE(f.processor.duplicates().dropped(), 1);
}

void TestProductProcessor::atSuffixIsCutForStateAndReceipt()
{
    Fixture f;
    f.process(QStringLiteral("AFDGRRMI.TXT@2"), kAfd);
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(f.text(), QStringList({kAfdKey}));
    QVERIFY(QFile::exists(f.settings.receiptDir() + "AFDGRRMI.TXT"));
    QCOMPARE(f.newProducts.ddeHeader(), "AFDGRRMI.TXT," + kAfdKey);
}

void TestProductProcessor::receiptReplacesWhatWasThere_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("kind"); // of the receipt there before
    QTest::addColumn<bool>("sameFile");
    const QByteArray same = "ZFPGRR   ~KGRR~MI\r\n"; // as long as the new receipt
    QTest::newRow("none") << QByteArray() << "none" << false;
    QTest::newRow("same length: rewritten in place") << same << "file" << true;
    QTest::newRow("longer") << same + "and more"
                            << "file" << false;
    QTest::newRow("shorter") << QByteArray("X\r\n") << "file" << false;
    QTest::newRow("same length, second name") << same << "hardlink" << false;
    QTest::newRow("same length, a link") << same << "symlink" << false;
}

// The receipt holds the key and nothing else whatever was there; a receipt
// with another name or a link is replaced, never written through.
void TestProductProcessor::receiptReplacesWhatWasThere()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, kind);
    QFETCH(bool, sameFile);
    Fixture f;
    const QString receipt = f.settings.receiptDir() + QStringLiteral("AFDGRRMI.TXT");
    const QString other = f.home.file(QStringLiteral("other"));
    QDir().mkpath(f.settings.receiptDir());
    if (kind == QLatin1String("symlink")) {
        f.home.write(QStringLiteral("other"), before);
        QVERIFY(QFile::link(other, receipt));
    } else if (kind != QLatin1String("none")) {
        f.home.write(QStringLiteral("other"), before);
        if (kind == QLatin1String("hardlink"))
            QCOMPARE(::link(QFile::encodeName(other).constData(),
                            QFile::encodeName(receipt).constData()),
                     0);
        else
            QVERIFY(QFile::copy(other, receipt));
    }
    struct stat was
    {
    };
    ::lstat(QFile::encodeName(receipt).constData(), &was);
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    QCOMPARE(readBytes(receipt), (kAfdKey + QStringLiteral("\r\n")).toLatin1());
    struct stat now
    {
    };
    QCOMPARE(::lstat(QFile::encodeName(receipt).constData(), &now), 0);
    QVERIFY(S_ISREG(now.st_mode));
    QCOMPARE(now.st_ino == was.st_ino, sameFile);
    if (kind == QLatin1String("symlink") || kind == QLatin1String("hardlink"))
        QCOMPARE(readBytes(other), before);
}

void TestProductProcessor::imageIsFiledUnderTimestampName()
{
    Fixture f;
    f.process(QStringLiteral("RADUSAPN.GIF"), "GIF89a");
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(readBytes(f.settings.GIFPath + "RADUSAPN-12051507.GIF"), QByteArray("GIF89a"));
    QCOMPARE(f.status.text(), QStringLiteral("Received RADUSAPN-12051507.GIF"));
    QCOMPARE(f.loops.calls, QStringList({"name RADUSAPN|RADUSAPN-12051507.GIF"}));
    QCOMPARE(f.lists.live().texts(), QStringList({"RADUSAPN-12051507.GIF"}));
    QCOMPARE(f.newProducts.ddeHeader(), QStringLiteral("RADUSAPN.GIF,RADUSAPN-12051507.GIF"));
}

void TestProductProcessor::filedProductDescribesWhatWasFiled_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<QString>("alarmText");
    QTest::addColumn<QString>("heading");
    using Kind = FiledProduct::Kind;
    QTest::newRow("text") << "AFDGRRMI.TXT@3" << int(Kind::Text) << kAfdKey << "AFDGRR"
                          << "FXUS63 KGRR 051200";
    QTest::newRow("image") << "RADUSAPN.GIF@2" << int(Kind::Image) << "RADUSAPN-12051507.GIF"
                           << "RADUSAPN" << QString();
    QTest::newRow("collection") << "SFCOBSUS.ZIS" << int(Kind::Collection) << "SFCOBSUS.ZIS"
                                << "SFCOBSUS" << QString();
}

// What the alarm loops get names the file as filed, where it is, and what
// the alarm patterns are matched against.
void TestProductProcessor::filedProductDescribesWhatWasFiled()
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    QFETCH(QString, storedName);
    QFETCH(QString, alarmText);
    QFETCH(QString, heading);
    Fixture f;
    QByteArray bytes = kAfd;
    if (name.contains(QLatin1String(".ZIS"))) {
        writeZip(f.settings.TransferPath + name, {{"SFCOBS.TXT", "obs"}});
        bytes = readBytes(f.settings.TransferPath + name);
        f.processor.ProcessData(name);
    } else {
        f.process(name, bytes);
    }
    QCOMPARE(f.loops.filed.size(), 1);
    const FiledProduct& p = f.loops.filed.first();
    QCOMPARE(int(p.kind), kind);
    QCOMPARE(p.receivedName, name);
    QCOMPARE(p.productName, name.left(8));
    QCOMPARE(p.storedName, storedName);
    QCOMPARE(p.alarmText(), alarmText);
    QCOMPARE(p.heading, heading);
    QVERIFY2(p.path.endsWith(QLatin1Char('/') + storedName), qPrintable(p.path));
    QCOMPARE(readBytes(p.path), bytes);
    if (p.kind == FiledProduct::Kind::Text) {
        QCOMPARE(p.key, kAfdKey);
        QCOMPARE(p.station, QStringLiteral("KGRR"));
        QCOMPARE(p.listLine, kAfdKey);
    }
}

void TestProductProcessor::discardsByRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("status");
    QTest::newRow("KUNK silent") << "AFDGRRMI.TXT" << QByteArray("FXUS63 KUNK 051200\r\nAFDGRR\r\n")
                                 << "Processing AFDGRRMI.TXT";
    QTest::newRow("test message") << "ADMNWSUS.TXT"
                                  << QByteArray("NOUS99 KWBC 051200\r\nNWWS2K\r\n")
                                  << "Testfile NWWS2K";
    QTest::newRow("satellite") << "EPHXXXXX.TXT" << QByteArray("x") << "Ignoring SAT:EPHXXXXX.TXT";
    QTest::newRow("test extension")
        << "AFDGRRMI.ZZZ" << QByteArray("x") << "Ignoring test AFDGRRMI.ZZZ";
    QTest::newRow("graphic") << "GPHXXXXX.TXT" << QByteArray("x") << "Processing GPHXXXXX.TXT";
    QTest::newRow("filter0") << "AFDGRRMI.TXT" << kAfd << "Ignored AFDGRRMI / FXUS63";
    QTest::newRow("ignore count") << "ZFPGRRMI.TXT"
                                  << QByteArray("FPUS53 KGRR 051200\r\nZFPGRR\r\n")
                                  << "Ignored ZFPGRRMI / FPUS53";
}

void TestProductProcessor::discardsByRule()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    Fixture f;
    f.loadMenu("[Forecasts]\r\nZone Forecast,ZFP,-1\r\n");
    if (QString(QTest::currentDataTag()) == QLatin1String("filter0"))
        f.settings.Filter0 = 0;
    f.process(name, bytes);
    QTEST(f.status.text(), "status");
    QVERIFY(f.dataIn().isEmpty());
    QVERIFY(f.text().isEmpty());
    QVERIFY(f.bad().isEmpty());
    QCOMPARE(f.lists.live().count(), 0);
    QVERIFY(f.loops.calls.isEmpty());
}

void TestProductProcessor::filterSparesTestStation()
{
    Fixture f;
    f.settings.Filter0 = 0;
    f.process(QStringLiteral("TESTWARN.TXT"), "WOUS99 KWBC 051200\r\nXXXXXX\r\n");
    QCOMPARE(f.text(), QStringList({"TESTWARN ~TEST~RN"}));
    // Pacific stations pass Filter0 = 0.
    f.process(QStringLiteral("AFDHFOHI.TXT"), "FXHW60 PHFO 051200\r\nAFDHFO\r\n");
    QVERIFY(f.text().contains("AFDHFO   ~PHFO~HI"));
}

void TestProductProcessor::retentionFromOfficeTableAndLongListLine()
{
    Fixture f;
    f.settings.LongHeader = 1;
    f.lists.setLongHeader(true);
    f.loadMenu(
        "[Forecasts]\r\nArea Forecast Discussion,AFD,3\r\n[Warnings]\r\nDay Outlook,SPE,2\r\n"
        "[Offices]\r\nGRR,0\r\n");
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    QCOMPARE(f.text(), QStringList({kAfdKey})); // the office count 0 wins
    QCOMPARE(f.lists.live().texts().first(),
             QStringLiteral("GRR~Area Forecast Discussion").leftJustified(40) + "+" + kAfdKey);
    f.process(QStringLiteral("SPENESUS.TXT"), "TXUS20 KNES 051200\r\nSPENES\r\n");
    QCOMPARE(f.lists.live().texts().first(),
             QStringLiteral("WBC~Day Outlook").leftJustified(40) + "+SPENES   ~KNES~US");
}

void TestProductProcessor::localListAndCap()
{
    Fixture f;
    f.lists.setLocalCodes({"GRR", "GRR", "=}"});
    for (int i = 0; i < 150; ++i)
        f.lists.addReceived(QStringLiteral("OLD%1").arg(i));
    f.process(QStringLiteral("TORGRRMI.TXT"), "WFUS53 KGRR 051200\r\nTORGRR\r\n");
    QCOMPARE(f.lists.live().count(), 150);
    QCOMPARE(f.lists.live().text(0), QStringLiteral("TORGRR   ~KGRR~MI"));
    QCOMPARE(f.lists.live().text(149), QStringLiteral("OLD1")); // OLD0 pushed out
    // A line matching two local codes is inserted twice.
    QCOMPARE(f.lists.local().texts(), QStringList(2, "TORGRR   ~KGRR~MI"));
    QCOMPARE(f.lists.live().entry(0).foreground, QColor(255, 0, 0));
}

void TestProductProcessor::speciAndMetarHooks()
{
    Fixture f;
    f.settings.MetarDL = 1;
    f.settings.Metar = QStringLiteral("KGRR");
    f.process(QStringLiteral("SAUS80XX.TXT"), "SAUS80 KWBC 051200\r\nSPECI\r\n");
    const QString key = QStringLiteral("MTRSP8   ~KWBC~XX");
    QCOMPARE(f.text(), QStringList({key}));
    QCOMPARE(f.metar.calls, QStringList({"GetOffHourly KGRR " + key + " 1"}));
}

void TestProductProcessor::statusFileAndWebPage()
{
    Fixture f;
    f.process(QStringLiteral("STATUS.TXT"), "status");
    QCOMPARE(readBytes(f.prog + "status.txt"), QByteArray("status"));
    QCOMPARE(f.status.text(), QStringLiteral("New STATUS file ready"));
    f.process(QStringLiteral("INDEX.HTM"), "<html>");
    QCOMPARE(f.filed("INDEX.HTM"), QByteArray("<html>"));
    QCOMPARE(f.lists.live().texts(), QStringList({"INDEX.HTM"}));
    QVERIFY(f.loops.calls.isEmpty());
    QVERIFY(f.dataIn().isEmpty());
}

void TestProductProcessor::compressedProductLandsInDataIn()
{
    Fixture f;
    writeZip(f.settings.TransferPath + "ZFPGRRMI.ZIS",
             {{"sub/dir/AFDGRRMI.TXT", kAfd}, {"sub/", QByteArray()}});
    f.processor.ProcessData(QStringLiteral("ZFPGRRMI.ZIS"));
    QCOMPARE(f.dataIn(), QStringList({"AFDGRRMI.TXT"}));
    QCOMPARE(readBytes(f.settings.TransferPath + "AFDGRRMI.TXT"), kAfd);
    QVERIFY(FileLister::list(f.settings.SAPath).isEmpty());
    QCOMPARE(f.status.text(), QStringLiteral("Unzipped Successfully"));
    // The next poll takes the extracted product.
    f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
    QCOMPARE(f.text(), QStringList({kAfdKey}));
}

void TestProductProcessor::damagedCompressedProductIsQuarantined()
{
    Fixture f;
    f.process(QStringLiteral("ZFPGRRMI.ZIS"), "PK\x03\x04 not really a zip archive");
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(f.bad(), QStringList({"ZFPGRRMI.ZIS"}));
    QCOMPARE(f.status.text(), QStringLiteral("Moved to track/bad: ZFPGRRMI.ZIS (Unzip error #19)"));
}

void TestProductProcessor::hourlyCollectionIsKeptAndTimestamped()
{
    Fixture f;
    f.settings.MetarDL = 1;
    f.settings.RCMUnzip = 1;
    f.home.write(QStringLiteral("prog/rcmunzip"), "#!/bin/sh\n");
    const QString& sa = f.settings.SAPath;
    f.home.write(QStringLiteral("hourly/SAHOURLY.TXT"), "old");
    writeZip(f.settings.TransferPath + "SAHOURLY.ZIS", {{"SAHOURLY.TXT", "new"}});
    f.processor.ProcessData(QStringLiteral("SAHOURLY.ZIS"));
    QCOMPARE(FileLister::list(sa), QStringList({"SAHOURLY.12051507.TXT", "SAHOURLY.TXT"}));
    QCOMPARE(readBytes(sa + "SAHOURLY.12051507.TXT"), QByteArray("new"));
    QCOMPARE(f.metar.calls, QStringList({"GetHourly KORD 1"}));
    QCOMPARE(f.loops.calls, QStringList({"name SAHOURLY|SAHOURLY.ZIS"}));
    QCOMPARE(f.status.text(), QStringLiteral("Received SAHOURLY.ZIS"));

    writeZip(f.settings.TransferPath + "SAORCMUS.ZIS", {{"SAORCMUS.TXT", "rcm"}});
    f.processor.ProcessData(QStringLiteral("SAORCMUS.ZIS"));
    QVERIFY(QFile::exists(sa + "SAORCMUS.12051507.TXT"));
    QVERIFY(!QFile::exists(sa + "SAORCMUS.ZIS"));
    QCOMPARE(f.launcher.commandLines, QStringList({"\"" + f.prog + "rcmunzip\" RUN"}));
    QCOMPARE(f.launcher.windows.value(0), LaunchWindow::Hidden);

    writeZip(f.settings.TransferPath + "SFCOBSUS.ZIS", {{"SFCOBS.TXT", "obs"}});
    f.processor.ProcessData(QStringLiteral("SFCOBSUS.ZIS"));
    QVERIFY(QFile::exists(sa + "SFCOBSUS.ZIS")); // only extracted
    QVERIFY(QFile::exists(sa + "SFCOBS.TXT"));
    QVERIFY(f.dataIn().isEmpty());
}

void TestProductProcessor::failedFilingGoesToQuarantine()
{
    Fixture f;
    f.settings.TextPath = f.home.file(QStringLiteral("missing/"));
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd + "2");
    QVERIFY(f.dataIn().isEmpty());
    QCOMPARE(f.bad(), QStringList({"AFDGRRMI.TXT", "AFDGRRMI.TXT.1"}));
    QCOMPARE(readBytes(f.processor.quarantineDir() + "AFDGRRMI.TXT.1"), kAfd + "2");
    QVERIFY(f.status.text().startsWith("Moved to track/bad: AFDGRRMI.TXT.1 (not filed: "));
    QCOMPARE(f.lists.live().count(), 0);
    QVERIFY(f.loops.calls.isEmpty());
}

void TestProductProcessor::hostileContentCannotLeaveTextPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("identifier climbs up")
        << "AFDGRRMI.TXT" << QByteArray("000abc/x\r\nFXUS63 KGRR 051200\r\n");
    QTest::newRow("station with slash")
        << "AFDGRRMI.TXT" << QByteArray("FXUS63 K/.. 051200\r\nAFDGRR\r\n");
    QTest::newRow("control character")
        << "AFDGRRMI.TXT" << QByteArray("FXUS63 K\x07GR 051200\r\nAFDGRR\r\n");
    QTest::newRow("name with control") << "AFD\x1bGRR.TXT" << kAfd;
}

void TestProductProcessor::hostileContentCannotLeaveTextPath()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    Fixture f;
    f.process(name, bytes);
    QVERIFY(f.dataIn().isEmpty());
    QVERIFY(f.text().isEmpty());
    QCOMPARE(f.bad().size(), 1);
    QVERIFY(f.status.text().startsWith("Moved to track/bad: "));
    QCOMPARE(QDir(f.home.path()).entryList(QDir::Files), QStringList());
    QVERIFY(!QFile::exists(f.settings.TextPath + "abc"));
}

void TestProductProcessor::emptyFileIsQuarantinedWithReport()
{
    Fixture f;
    f.process(QStringLiteral("AFDGRRMI.TXT"), QByteArray());
    QCOMPARE(f.bad(), QStringList({"AFDGRRMI.TXT"}));
    QCOMPARE(f.display.text(),
             QStringLiteral("MAIN: ProcessData\nError: 62\nPossible Causes: Input past end of file "
                            "(AFDGRRMI.TXT)\n\nAFDGRRMI.TXT-AFDGRRMI.TXT"));
    QCOMPARE(f.status.text(), QStringLiteral("Moved to track/bad: AFDGRRMI.TXT (error 62)"));
}

void TestProductProcessor::unreadableFileIsRetriedOnceThenLeft()
{
    Fixture f;
    LockedProcessor locked(f.context, f.loops, f.metar);
    f.drop(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    try {
        locked.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
        QFAIL("no retry asked");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::PathFileAccess);
    }
    QCOMPARE(locked.retryMarker(), QStringLiteral("Bad file: AFDGRRMI.TXT"));
    locked.ProcessData(QStringLiteral("AFDGRRMI.TXT")); // second time: left for the next poll
    QCOMPARE(f.dataIn(), QStringList({"AFDGRRMI.TXT"}));
    QVERIFY(f.bad().isEmpty());
    // Once it can be read it is filed and the marker cleared.
    f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
    QCOMPARE(f.text(), QStringList({kAfdKey}));
}

void TestProductProcessor::pollerRetriesAndMovesOn()
{
    Fixture f;
    LockedProcessor locked(f.context, f.loops, f.metar);
    f.drop(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    f.drop(QStringLiteral("RADUSAPN.GIF"), "GIF");
    DataInPoller poller(f.programDir, f.prompter);
    poller.setDirectory(f.settings.TransferPath);
    poller.setProcessor(&locked);
    poller.setRetryDelay(0);
    poller.runPassNow();
    QCOMPARE(f.dataIn(), QStringList({"AFDGRRMI.TXT"}));
    QVERIFY(f.prompter.messages.isEmpty());
    poller.runPassNow(); // the next poll does not stall on it
    QCOMPARE(f.dataIn(), QStringList({"AFDGRRMI.TXT"}));
}

void TestProductProcessor::hugeAndBinaryFiles()
{
    Fixture f;
    QByteArray huge = kAfd;
    huge.append(QByteArray(50 * 1024 * 1024, 'X'));
    f.process(QStringLiteral("AFDGRRMI.TXT"), huge);
    QCOMPARE(QFileInfo(f.settings.TextPath + kAfdKey).size(), huge.size());
    huge.clear();
    QByteArray binary(1024 * 1024, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = char((i * 7919) & 0xff);
    f.process(QStringLiteral("BINARYXX.TXT"), binary);
    f.process(QStringLiteral("TRUNCXX.TXT"), "\x01\r\r\n001 \r\r\n");
    QVERIFY(f.dataIn().isEmpty());
    QStringList kept = f.text() + f.bad();
    QVERIFY(kept.contains("TRUNCXX.TXT"));
}

void TestProductProcessor::crossFileSystemMove()
{
    if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        QSKIP("no second file system");
    QTemporaryDir shm(QStringLiteral("/dev/shm/vantorel-XXXXXX"));
    Fixture f;
    f.settings.TransferPath = shm.path() + "/";
    f.process(QStringLiteral("AFDGRRMI.TXT"), kAfd);
    QCOMPARE(f.filed(kAfdKey), kAfd);
    QVERIFY(f.dataIn().isEmpty());
}

// Every corpus product through ProcessData: each is filed under the key its
// heading gives, or discarded by a rule; nothing stays behind.
void TestProductProcessor::wholeCorpus()
{
    Fixture f;
    const QJsonArray manifest =
        QJsonDocument::fromJson(readBytes(testDataPath("corpus/MANIFEST.json"))).array();
    QVERIFY(manifest.size() > 500);
    static const QStringList areas = {"PN", "AA", "XX", "US", "CA", "HW",
                                      "PZ", "AK", "NT", "VD", "VX", "OK"};
    int filed = 0, wrongKey = 0;
    QMap<QString, int> discarded;
    for (const QJsonValue& value : manifest) {
        const QJsonObject entry = value.toObject();
        const QString name = entry["file"].toString();
        const QString form = entry["form"].toString();
        const QStringList wmo = entry["wmo"].toString().split(' ');
        const QByteArray bytes = readBytes(testDataPath("corpus/products/" + name));
        f.process(name, bytes);
        QVERIFY2(f.dataIn().isEmpty(), qPrintable(name));
        const QString status = f.status.text();
        if (!status.startsWith("Received ")) {
            discarded[status.section(' ', 0, 0)]++;
            continue;
        }
        ++filed;
        const bool fromFile =
            form == "raw" || (form == "heading" && areas.contains(wmo[0].mid(2, 2)));
        const QString identifier = fromFile ? entry["awips"].toString() : wmo[0].left(6);
        const bool mkc = identifier == "SWOMCD"; // filed under the issuing centre
        const QString key =
            ProductKey::make(identifier, mkc ? "KMKC" : wmo[1], name.mid(6, 2)).text();
        if (f.filed(key) != bytes) {
            ++wrongKey;
            qWarning() << name << "not filed as" << key << status;
        }
    }
    qInfo() << "corpus:" << manifest.size() << "filed:" << filed << "discarded:" << discarded;
    QCOMPARE(wrongKey, 0);
    QVERIFY(f.bad().isEmpty());
    QCOMPARE(filed + std::accumulate(discarded.begin(), discarded.end(), 0), int(manifest.size()));
}

QTEST_GUILESS_MAIN(TestProductProcessor)
#include "tst_productprocessor.moc"
