#include "FileSystemFaults.h"
#include "TestSupport.h"
#include "ZipWriter.h"
#include "core/IAlarmLoops.h"
#include "core/NoMetarHooks.h"
#include "ingest/DataInPoller.h"
#include "ingest/ProductProcessor.h"
#include "ingest/Unzipper.h"
#include "ingest/VersionRotation.h"
#include "platform/DirectoryEntries.h"
#include "platform/FileLister.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <sys/stat.h>

// What must never happen to a product on its way in, whatever the Data-In
// directory holds and whatever the file systems do: it is filed, discarded by
// rule or kept in quarantine, never lost, never left unreported for ever, and
// never allowed to stop the polling.

namespace {
class NoAlarmLoops : public IAlarmLoops
{
public:
    void runAlarms(const FiledProduct&) override {}
};

// Keeps each password question open until the test answers it; a question
// asked the old, blocking way is counted.
class DeferredPrompter : public ScriptedPrompter
{
public:
    std::optional<QString> input(const QString& prompt, const QString&, const QString&) override
    {
        ++blockingQuestions;
        questions << prompt;
        return std::nullopt;
    }
    void inputLater(const QString& prompt, const QString&,
                    std::function<void(std::optional<QString>)> answered) override
    {
        questions << prompt;
        pending << std::move(answered);
    }
    void answer(const std::optional<QString>& text)
    {
        pending.takeFirst()(text);
        QCoreApplication::processEvents();
    }
    int blockingQuestions = 0;
    QList<std::function<void(std::optional<QString>)>> pending;
};

const QByteArray kAfd = "FXUS63 KGRR 051200\r\r\nAFDGRR\r\r\n\r\r\nAREA FORECAST DISCUSSION\r\r\n";
const QString kAfdKey = QStringLiteral("AFDGRR   ~KGRR~MI");

struct Fixture : CoreFixture
{
    DeferredPrompter asker;
    NoAlarmLoops loops;
    NoMetarHooks metar;
    ProductProcessor::Context context{programDir, settings, tables,      menus, alarms,   status,
                                      display,    lists,    newProducts, clock, launcher, asker};
    ProductProcessor processor{context, loops, metar};
    DataInPoller poller{programDir, prompter};

    Fixture()
    {
        useIngestDirectories();
        poller.setDirectory(settings.TransferPath);
        poller.setProcessor(&processor);
        poller.setRetryDelay(0);
    }
    ~Fixture() { FileSystemFaults::reset(); }
    void drop(const QByteArray& rawName, const QByteArray& bytes) const
    {
        const QByteArray path = QFile::encodeName(settings.TransferPath) + rawName;
        FILE* file = std::fopen(path.constData(), "wb");
        QVERIFY(file);
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file);
        std::fclose(file);
    }
    // Every entry of Data-In, hidden ones included, by raw name.
    QList<QByteArray> dataIn() const
    {
        QList<QByteArray> names;
        for (const auto& e : DirectoryEntries::list(settings.TransferPath))
            names << e.raw;
        return names;
    }
    QStringList text() const { return FileLister::list(settings.TextPath); }
    QList<DirectoryEntries::Entry> bad() const
    {
        return DirectoryEntries::list(processor.quarantineDir());
    }
    static bool zip(const QString& path, QList<ZipMember> members, bool encrypted = false)
    {
        for (ZipMember& m : members)
            m.encrypted = encrypted;
        return writeZip(path, members);
    }
};
} // namespace

// Versions are files "K", "K.1" ... "K.n" holding the number of the version
// they were before the rotation ("0" for the product itself).
namespace {

QString versionName(int n)
{
    return n == 0 ? QStringLiteral("K") : QStringLiteral("K.") + QString::number(n);
}

// "n=content" for every version present, in name order.
QStringList versions(const QString& dir)
{
    QStringList result;
    for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name))
        result << name + QLatin1Char('=') + QString::fromLatin1(readBytes(dir + name));
    return result;
}

} // namespace

class TestIngestFaults : public QObject
{
    Q_OBJECT
private slots:
    // Data-In that the program may not write (a read-only share): every poll
    // fails to take the product, and none of them may touch the stored versions.
    void productThatCannotLeaveDataInCostsNoVersion()
    {
        Fixture f;
        for (const char* suffix : {"", ".1", ".2", ".3"})
            f.home.write("data/" + kAfdKey + suffix, QByteArray("version") + suffix);
        f.drop("AFDGRRMI.TXT", kAfd);
        FileSystemFaults::readOnly << QFile::encodeName(f.settings.TransferPath);
        for (int poll = 0; poll < 4; ++poll)
            f.poller.runPassNow();
        QCOMPARE(f.text(), QStringList({kAfdKey, kAfdKey + ".1", kAfdKey + ".2", kAfdKey + ".3"}));
        QCOMPARE(readBytes(f.settings.TextPath + kAfdKey), QByteArray("version"));
        QCOMPARE(readBytes(f.settings.TextPath + kAfdKey + ".3"), QByteArray("version.3"));
        QCOMPARE(f.dataIn(), QList<QByteArray>{"AFDGRRMI.TXT"});
        QVERIFY(f.bad().isEmpty());
        QVERIFY2(f.status.text().startsWith("Cannot take AFDGRRMI.TXT from Data-In yet"),
                 qPrintable(f.status.text()));
        // Once the share can be written again the product is filed in turn.
        FileSystemFaults::readOnly.clear();
        f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
        QCOMPARE(readBytes(f.settings.TextPath + kAfdKey), kAfd);
        QCOMPARE(readBytes(f.settings.TextPath + kAfdKey + ".1"), QByteArray("version"));
    }
    // Across file systems the product is copied; the copy must be on disk before
    // the source is removed, or a power loss between the two loses both.
    void crossFileSystemCopyIsOnDiskBeforeTheSourceGoes()
    {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            QSKIP("no second file system");
        QTemporaryDir shm(QStringLiteral("/dev/shm/vantorel-XXXXXX"));
        Fixture f;
        f.settings.TransferPath = shm.path() + "/";
        f.drop("AFDGRRMI.TXT", kAfd);
        FileSystemFaults::recording = true;
        f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
        FileSystemFaults::recording = false;
        QCOMPARE(readBytes(f.settings.TextPath + kAfdKey), kAfd);
        const QByteArray source = "unlink " + QFile::encodeName(shm.path()) + "/AFDGRRMI.TXT";
        const qsizetype removed = FileSystemFaults::calls.indexOf(source);
        QVERIFY2(removed >= 0, FileSystemFaults::calls.join(", ").constData());
        QVERIFY2(FileSystemFaults::calls.mid(0, removed).contains("fsync"),
                 FileSystemFaults::calls.join(", ").constData());
    }
    void entriesThatCannotBeFiledAreSetAside_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::newRow("name that is no text") << QByteArray("bytes");
        QTest::newRow("link to a file outside") << QByteArray("link");
        QTest::newRow("dangling link") << QByteArray("dangling");
        QTest::newRow("named pipe") << QByteArray("fifo");
        QTest::newRow("hidden member of an archive") << QByteArray("member");
        QTest::newRow("hidden file left unfinished") << QByteArray("stale");
    }
    // Whatever cannot be a product leaves Data-In for quarantine, as what it is
    // (a link stays a link and is never read through), and is reported.
    void entriesThatCannotBeFiledAreSetAside()
    {
        QFETCH(QByteArray, kind);
        Fixture f;
        const QString outside = f.home.write(QStringLiteral("secret.txt"), kAfd);
        const QByteArray dataIn = QFile::encodeName(f.settings.TransferPath);
        if (kind == "bytes") {
            f.drop("AFD\xe9GRR.TXT", kAfd);
        } else if (kind == "link") {
            QVERIFY(QFile::link(outside, f.settings.TransferPath + "AFDGRRMI.TXT"));
        } else if (kind == "dangling") {
            QVERIFY(QFile::link(f.home.file("nothing"), f.settings.TransferPath + "AFDGRRMI.TXT"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo((dataIn + "AFDGRRMI.TXT").constData(), 0600), 0);
        } else if (kind == "member") {
            QVERIFY(f.zip(f.settings.TransferPath + "ZFPGRRMI.ZIS", {{".X", kAfd}}));
        } else {
            f.drop(".incoming-1234", kAfd);
            QFile file(f.settings.TransferPath + ".incoming-1234");
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-7200),
                                     QFileDevice::FileModificationTime));
            f.drop(".incoming-5678", "being written");
        }
        f.poller.runPassNow();
        f.poller.runPassNow();
        const QList<QByteArray> left = f.dataIn();
        QVERIFY2(left.isEmpty() || left == QList<QByteArray>{".incoming-5678"},
                 left.join(", ").constData());
        QCOMPARE(f.bad().size(), 1);
        QVERIFY2(f.status.text().startsWith("Moved to track/bad: "), qPrintable(f.status.text()));
        QVERIFY(f.text().isEmpty());
        QCOMPARE(readBytes(outside), kAfd);
        if (kind == "link" || kind == "dangling")
            QCOMPARE(f.bad().first().kind, DirectoryEntries::Kind::Link);
    }
    // Quarantine names longer than a file system takes are cut, so a second file
    // of the same long name is kept as well instead of failing every second.
    void longNamesFitTheQuarantine()
    {
        Fixture f;
        const QByteArray name = "AFD\x01" + QByteArray(251, 'G');
        for (int i = 0; i < 2; ++i) {
            f.drop(name, kAfd + QByteArray::number(i));
            f.poller.runPassNow();
            QVERIFY2(f.status.text().startsWith("Moved to track/bad: "),
                     qPrintable(f.status.text()));
        }
        QVERIFY(f.dataIn().isEmpty());
        QCOMPARE(f.bad().size(), 2);
        for (const auto& e : f.bad())
            QVERIFY(e.raw.size() <= 255);
    }
    // The data-loss watchdog counts taken products only: a file that sits in
    // Data-In, or an entry that is no product, does not hide a dead feed.
    void onlyTakenFilesCountAsArrivals()
    {
        Fixture f;
        const QDateTime before = f.clock.current.addSecs(-600);
        f.processor.setLastDataTime(before);
        f.drop("AFDGRRMI.TXT", kAfd);
        FileSystemFaults::readOnly << QFile::encodeName(f.settings.TransferPath);
        f.poller.runPassNow();
        f.poller.runPassNow();
        QCOMPARE(f.processor.lastDataTime(), before);
        FileSystemFaults::readOnly.clear();
        QVERIFY(QFile::link(f.home.file("x"), f.settings.TransferPath + "LINK.TXT"));
        f.processor.ProcessData(QStringLiteral("LINK.TXT"));
        f.processor.ProcessData(QStringLiteral("MISSING.TXT"));
        QCOMPARE(f.processor.lastDataTime(), before);
        f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
        QCOMPARE(f.processor.lastDataTime(), f.clock.current);
    }
    void encryptedArchiveWaitsWithoutStoppingIngest_data()
    {
        QTest::addColumn<QString>("answer"); // "(cancel)" cancels
        QTest::addColumn<bool>("extracted");
        QTest::newRow("right password") << "secret" << true;
        QTest::newRow("wrong password") << "guess" << false;
        QTest::newRow("cancelled") << "(cancel)" << false;
    }
    // The password is asked without blocking: products keep being filed while
    // the question is open, and the archive waits aside until it is answered.
    void encryptedArchiveWaitsWithoutStoppingIngest()
    {
        QFETCH(QString, answer);
        QFETCH(bool, extracted);
        Fixture f;
        if (!f.zip(f.settings.TransferPath + "ZFPGRRMI.ZIS", {{"ZFPGRRMI.TXT", kAfd}}, true))
            QSKIP("libzip cannot write encrypted archives here");
        f.drop("AFDGRRMI.TXT", kAfd);
        f.poller.runPassNow();
        QCOMPARE(f.asker.blockingQuestions, 0);
        QCOMPARE(f.asker.pending.size(), 1);
        QCOMPARE(f.processor.waitingForPassword(), 1);
        QCOMPARE(f.text(), QStringList{kAfdKey}); // filed while the question is open
        QVERIFY(f.dataIn().isEmpty());
        f.asker.answer(answer == "(cancel)" ? std::nullopt : std::optional<QString>(answer));
        QCOMPARE(f.processor.waitingForPassword(), 0);
        QCOMPARE(f.dataIn(), extracted ? QList<QByteArray>{"ZFPGRRMI.TXT"} : QList<QByteArray>{});
        QCOMPARE(f.bad().size(), extracted ? 0 : 1);
        // A later encrypted archive is asked for again, also after a cancel.
        QVERIFY(f.zip(f.settings.TransferPath + "ZFPDTXMI.ZIS", {{"ZFPDTXMI.TXT", kAfd}}, true));
        f.poller.runPassNow();
        QCOMPARE(f.asker.pending.size(), 1);
    }
    // Too many members: nothing of it lands in Data-In, the archive is kept.
    void archiveThatWouldFillTheDiskIsKeptWhole()
    {
        Fixture f;
        QList<ZipMember> members;
        for (int i = 0; i <= Unzipper::DefaultMaxMembers; ++i)
            members.append({QStringLiteral("M%1.TXT").arg(i), QByteArray("x")});
        QVERIFY(f.zip(f.settings.TransferPath + "ZFPGRRMI.ZIS", members));
        f.processor.ProcessData(QStringLiteral("ZFPGRRMI.ZIS"));
        QVERIFY(f.dataIn().isEmpty());
        QCOMPARE(f.bad().size(), 1);
        QCOMPARE(f.bad().first().raw, QByteArray("ZFPGRRMI.ZIS"));
    }
    void unreadableHeadingsAreKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("100 KB first line, product behind it")
            << QByteArray(100 * 1024, 'X') + "\r\n" + kAfd;
        QByteArray blob(3 * 1024 * 1024, '\0');
        for (int i = 0; i < blob.size(); ++i)
            blob[i] = char((i * 7919) & 0xff);
        QTest::newRow("binary blob") << blob.replace('\n', 'n').replace('\r', 'r');
        QTest::newRow("27 characters") << QByteArray("FXUS63 KGRR 051200 AAAAAAAA\r\n") + kAfd;
    }
    // A first line too long for a heading is reported as corrupt, and the file is
    // kept in quarantine rather than deleted.
    void unreadableHeadingsAreKept()
    {
        QFETCH(QByteArray, bytes);
        Fixture f;
        f.drop("AFDGRRMI.TXT", bytes);
        f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
        QCOMPARE(f.status.text(), QStringLiteral("Corrupt AFDGRRMI.TXT, moved to track/bad"));
        QVERIFY(f.dataIn().isEmpty());
        QCOMPARE(f.bad().size(), 1);
        QCOMPARE(readBytes(f.processor.quarantineDir() + "AFDGRRMI.TXT"), bytes);
    }
    // "KUNK" is what derivation names a product without a station: such a
    // product is discarded like one whose heading names KUNK.
    void stationOnlyDerivationNamesIsDiscarded()
    {
        Fixture f;
        for (const QByteArray& bytes :
             {QByteArray("x"), QByteArray("\r\n\r\n"), QByteArray("000 \r\n")}) {
            f.drop("AFDGRRMI.TXT", bytes);
            f.processor.ProcessData(QStringLiteral("AFDGRRMI.TXT"));
            QVERIFY(f.dataIn().isEmpty());
            QVERIFY2(f.text().isEmpty(), qPrintable(f.text().join(", ")));
        }
    }
    // A product staged in the store when the program died goes back into Data-In
    // at the next start; a temporary copy that never finished is removed.
    void interruptedFilingIsPutBack()
    {
        Fixture f;
        f.home.write("data/.filing-AFDGRRMI.TXT", kAfd);
        f.home.write("data/.move-abc", "half a copy");
        f.home.write("hourly/.filing-ZFPGRRMI.ZIS@2", "archive");
        f.drop("ZFPGRRMI.ZIS@2", "a newer one of the same name");
        f.poller.runPassNow();
        QCOMPARE(f.text(), QStringList{kAfdKey});
        QVERIFY(!QFile::exists(f.settings.TextPath + ".move-abc"));
        QVERIFY(!QFile::exists(f.settings.TextPath + ".filing-AFDGRRMI.TXT"));
        QVERIFY(!QFile::exists(f.settings.SAPath + ".filing-ZFPGRRMI.ZIS@2"));
    }

    void rotate_data()
    {
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("all there")
            << QList<int>{0, 1, 2, 3} << 3 << QStringList{"K.1=0", "K.2=1", "K.3=2"};
        QTest::newRow("first product") << QList<int>{0} << 3 << QStringList{"K.1=0"};
        QTest::newRow("nothing yet") << QList<int>{} << 3 << QStringList{};
        QTest::newRow("gap below the oldest: oldest still dropped")
            << QList<int>{0, 1, 3} << 3 << QStringList{"K.1=0", "K.2=1"};
        QTest::newRow("gap in the middle")
            << QList<int>{0, 2, 3} << 3 << QStringList{"K.1=0", "K.3=2"};
        QTest::newRow("versions beyond the count stay")
            << QList<int>{0, 1, 2} << 1 << QStringList{"K.1=0", "K.2=2"};
        QTest::newRow("one kept, no product: the old one goes")
            << QList<int>{1} << 1 << QStringList{};
        QTest::newRow("none kept") << QList<int>{0, 1} << 0 << QStringList{"K.1=1"};
        QTest::newRow("count below zero keeps the previous one")
            << QList<int>{0, 1} << -2 << QStringList{"K.1=0"};
    }
    void rotate()
    {
        QFETCH(QList<int>, present);
        QFETCH(int, count);
        QFETCH(QStringList, after);
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/text/");
        QDir().mkpath(dir);
        for (const int n : present)
            home.write(QStringLiteral("text/") + versionName(n), QByteArray::number(n));
        const VersionRotation rotation(dir);
        rotation.rotate(QStringLiteral("K"), count);
        QCOMPARE(versions(dir), after);
    }
    void failedStepIsReported()
    {
        // A version that cannot be replaced (a directory in its way) stops the
        // rotation with an error instead of going on as if it had moved.
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/text/");
        home.write(QStringLiteral("text/K"), "0");
        home.write(QStringLiteral("text/K.1"), "1");
        QDir().mkpath(dir + QStringLiteral("K.2/inside"));
        const VersionRotation rotation(dir);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rotation.rotate(QStringLiteral("K"), 2));
        QCOMPARE(versions(dir), QStringList({"K=0", "K.1=1"}));
    }
};

QTEST_GUILESS_MAIN(TestIngestFaults)
#include "tst_ingestfaults.moc"
