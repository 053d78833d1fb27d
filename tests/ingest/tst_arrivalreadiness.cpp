#include "TestSupport.h"
#include "core/IAlarmLoops.h"
#include "core/NoMetarHooks.h"
#include "ingest/ArrivalReadiness.h"
#include "ingest/DataInPoller.h"
#include "ingest/IProductProcessor.h"
#include "ingest/ProductProcessor.h"
#include "platform/DirectoryWatcher.h"
#include "platform/ErrorReport.h"
#include "platform/FileLister.h"
#include "platform/RuntimeError.h"
#include "product/FiledProduct.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <thread>
#include <unistd.h>

// A file is taken from Data-In only once it is complete: reported closed or
// moved in by the watcher, or unchanged in size and time since the previous
// pass when nothing reports it. A name the watcher saw created but never
// closed (linked in whole) is taken once it has held still for a while.

namespace {

class RecordingLoops : public IAlarmLoops
{
public:
    void runAlarms(const FiledProduct& p) override
    {
        calls << p.alarmText() + QLatin1Char('|') + p.storedName;
    }
    QStringList calls;
};

struct Ingest : CoreFixture
{
    RecordingLoops loops;
    NoMetarHooks metar;
    ProductProcessor::Context context{programDir, settings, tables,      menus, alarms,   status,
                                      display,    lists,    newProducts, clock, launcher, prompter};
    ProductProcessor processor{context, loops, metar};
    DataInPoller poller{programDir, prompter};

    Ingest()
    {
        useIngestDirectories();
        dir(QStringLiteral("staging/"));
        poller.setDirectory(settings.TransferPath);
        poller.setProcessor(&processor);
        poller.setRetryDelay(0);
    }
    // Written aside, then renamed into Data-In, as an engine delivers.
    void deliver(const QString& name, const QByteArray& bytes) const
    {
        const QString staged = home.write(QStringLiteral("staging/") + name, bytes);
        QVERIFY(QFile::rename(staged, settings.TransferPath + name));
    }
    bool dataInEmpty() const { return FileLister::list(settings.TransferPath).isEmpty(); }
    // Every filed file and receipt with its contents, and the lists.
    QStringList results()
    {
        QStringList all;
        for (const QString& d : {settings.TextPath, settings.receiptDir()}) {
            for (const QString& name : FileLister::list(d)) {
                QFile f(d + name);
                (void)f.open(QIODevice::ReadOnly);
                all << name + QLatin1Char('=') + QString::fromLatin1(f.readAll().toHex());
            }
        }
        return all + lists.live().texts() + lists.local().texts() + loops.calls;
    }
};

// Corpus products under distinct names, some twice (a newer version).
QList<QPair<QString, QByteArray>> corpusBurst()
{
    const QString dir = testDataPath(QStringLiteral("corpus/products/"));
    QList<QPair<QString, QByteArray>> burst;
    const QStringList names = QDir(dir).entryList(QDir::Files);
    for (int i = 0; i < names.size() && burst.size() < 40; i += 7) {
        QFile f(dir + names.at(i));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = f.readAll();
        burst.append(
            {names.at(i).section(QLatin1Char('@'), 0, 0) + QStringLiteral("@a%1").arg(i), bytes});
        if (i % 3 == 0)
            burst.append(
                {names.at(i).section(QLatin1Char('@'), 0, 0) + QStringLiteral("@b%1").arg(i),
                 bytes + "\r\r\nSECOND VERSION\r\r\n"});
    }
    return burst;
}

// How a finished file is made visible under its name in one step.
enum class Link
{
    HardLink,     // ln, cp -l: link(2) of a file written elsewhere
    UnnamedRename // QTemporaryFile (O_TMPFILE) renamed: linkat(2)
};

bool linkInto(Link how, const TestHome& home, const QString& target, const QByteArray& bytes)
{
    if (how == Link::HardLink) {
        const QString aside = home.write(QStringLiteral("aside/product"), bytes);
        return ::link(QFile::encodeName(aside).constData(),
                      QFile::encodeName(target).constData()) == 0;
    }
    QTemporaryFile file(QFileInfo(target).absolutePath() + QStringLiteral("/XXXXXX"));
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.setAutoRemove(false);
    return file.rename(target);
}

} // namespace

Q_DECLARE_METATYPE(Link)

namespace {
// Takes each file out of the directory, as product processing does; errors
// can be scripted per file name as a list of error numbers, one per call.
class FakeProcessor : public IProductProcessor
{
public:
    explicit FakeProcessor(QString dir) : m_dir(std::move(dir)) {}
    void ProcessData(const QString& fileName) override
    {
        calls << fileName;
        if (onCall)
            onCall(fileName);
        QList<int>& errors = failures[fileName];
        if (!errors.isEmpty()) {
            const int number = errors.takeFirst();
            if (number != 0)
                throw RuntimeError(static_cast<ErrorNumber>(number), fileName);
        }
        QFile::remove(m_dir + fileName);
    }
    QStringList calls;
    QMap<QString, QList<int>> failures;
    std::function<void(const QString&)> onCall;

private:
    QString m_dir;
};

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    QString dataIn = home.path() + QStringLiteral("/transfer/");
    ScriptedPrompter prompter;
    FakeProcessor processor{dataIn};
    DataInPoller poller{programDir, prompter};

    Fixture()
    {
        home.write(QStringLiteral("prog/.keep"), "");
        home.write(QStringLiteral("transfer/.hidden"), "x"); // hidden files are not listed
        poller.setDirectory(dataIn);
        poller.setProcessor(&processor);
        poller.setRetryDelay(0);
    }
    void drop(const QStringList& names)
    {
        for (const QString& name : names)
            home.write(QStringLiteral("transfer/") + name, "product");
    }
    // One tick of the polling timer, waited for until its pass has ended.
    bool tickAndWait()
    {
        QSignalSpy finished(&poller, &DataInPoller::passFinished);
        poller.poll();
        return finished.wait(10000);
    }
};
} // namespace

class TestArrivalReadiness : public QObject
{
    Q_OBJECT
private slots:
    void slowWriterNotTakenHalfWritten_data()
    {
        QTest::addColumn<bool>("watched");
        QTest::addColumn<bool>("takenWhileStalled");
        // The watcher knows the file is open for writing; without it a writer
        // that stalls for a whole pass cannot be told from a finished one.
        QTest::newRow("watched directory") << true << false;
        QTest::newRow("no notification (network share)") << false << true;
    }
    void slowWriterNotTakenHalfWritten()
    {
        QFETCH(bool, watched);
        QFETCH(bool, takenWhileStalled);
        TestHome home;
        const QString dir = home.path() + QLatin1Char('/');
        DirectoryWatcher watcher;
        if (watched)
            QVERIFY(watcher.watch(dir));
        ArrivalReadiness readiness(watched ? &watcher : nullptr);
        const QStringList name = {QStringLiteral("TORGRRMI.TXT")};

        QFile writer(dir + name.first());
        QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        writer.write("WFUS53 KGRR 051200\r\r\nTORGRR\r\r\n");
        QCOMPARE(readiness.ready(dir, name), QStringList());
        writer.write("BULLETIN - EAS ACTIVATION REQUESTED\r\r\n");
        QCOMPARE(readiness.ready(dir, name), QStringList()); // grown since the last pass
        QCOMPARE(readiness.ready(dir, name), takenWhileStalled ? name : QStringList());

        writer.write("MIC081-051300-\r\r\n");
        writer.close();
        QStringList taken = readiness.ready(dir, name);
        if (!watched) {
            QCOMPARE(taken, QStringList()); // changed since the last pass
            taken = readiness.ready(dir, name);
        }
        QCOMPARE(taken, name);
    }
    void watcherReportsCompleteFiles()
    {
        TestHome home;
        const QString dir = home.path() + QLatin1Char('/');
        DirectoryWatcher watcher;
        QVERIFY(watcher.watch(dir));
        QSignalSpy completed(&watcher, &DirectoryWatcher::completed);
        home.write(QStringLiteral("written"), "x");
        home.write(QStringLiteral("aside/moved"), "x");
        QVERIFY(QFile::rename(dir + QStringLiteral("aside/moved"), dir + QStringLiteral("moved")));
        QFile open(dir + QStringLiteral("open"));
        QVERIFY(open.open(QIODevice::WriteOnly));
        home.write(QStringLiteral("gone"), "x");
        QVERIFY(QFile::remove(dir + QStringLiteral("gone")));
        QVERIFY(completed.wait(5000));
        QVERIFY(watcher.takeCompleted(QStringLiteral("written")));
        QVERIFY(watcher.takeCompleted(QStringLiteral("moved")));
        QVERIFY(!watcher.takeCompleted(QStringLiteral("gone")));
        QVERIFY(!watcher.takeCompleted(QStringLiteral("open")));
        QVERIFY(watcher.isBeingWritten(QStringLiteral("open")));
        QVERIFY(!watcher.takeCompleted(QStringLiteral("written"))); // taken once
    }
    // A file moved in after a pass listed the directory, but reported before
    // the pass asked, is taken by the next pass at once: the report is kept,
    // not spent on a pass that did not see the file.
    void reportAfterListingKeptForNextPass()
    {
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/in/");
        QVERIFY(QDir().mkpath(dir));
        DirectoryWatcher watcher;
        QVERIFY(watcher.watch(dir));
        const qint64 nowMs = 0;
        ArrivalReadiness readiness(&watcher, [&nowMs] { return nowMs; });
        const QStringList name = {QStringLiteral("TORDMXIA.TXT")};
        home.write(QStringLiteral("aside/TORDMXIA.TXT"), "WFUS53 KDMX 051200\r\r\nTORDMX\r\r\n");
        QVERIFY(
            QFile::rename(home.path() + QStringLiteral("/aside/TORDMXIA.TXT"), dir + name.first()));
        QCOMPARE(readiness.ready(dir, QStringList()), QStringList()); // listed before the move
        QCOMPARE(readiness.ready(dir, name), name);
    }
    void linkedArrivalTakenOnceStill_data()
    {
        QTest::addColumn<Link>("how");
        QTest::newRow("ln / cp -l") << Link::HardLink;
        QTest::newRow("O_TMPFILE then linkat") << Link::UnnamedRename;
    }
    void linkedArrivalTakenOnceStill()
    {
        QFETCH(Link, how);
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/in/");
        QVERIFY(QDir().mkpath(dir));
        DirectoryWatcher watcher;
        QVERIFY(watcher.watch(dir));
        qint64 nowMs = 0;
        ArrivalReadiness readiness(&watcher, [&nowMs] { return nowMs; });
        const QStringList name = {QStringLiteral("SVRLOTKY.TXT")};

        QVERIFY(linkInto(how, home, dir + name.first(), "WUUS53 KLOT 051200\r\r\nSVRLOT\r\r\n"));
        watcher.readEvents();
        QVERIFY(watcher.isBeingWritten(name.first())); // created, never closed under its name
        QCOMPARE(readiness.ready(dir, name), QStringList());
        nowMs += ArrivalReadiness::HoldStillMs / 2;
        QCOMPARE(readiness.ready(dir, name), QStringList());
        nowMs += ArrivalReadiness::HoldStillMs;
        QCOMPARE(readiness.ready(dir, name), name);
    }
    void growingOpenFileNeverTaken()
    {
        TestHome home;
        const QString dir = home.path() + QLatin1Char('/');
        DirectoryWatcher watcher;
        QVERIFY(watcher.watch(dir));
        qint64 nowMs = 0;
        ArrivalReadiness readiness(&watcher, [&nowMs] { return nowMs; });
        const QStringList name = {QStringLiteral("FFWLOTIL.TXT")};

        // A slow writer adds a line every second for ten seconds.
        QFile writer(dir + name.first());
        QVERIFY(writer.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (int second = 0; second < 10; ++second) {
            writer.write("FLASH FLOOD WARNING CONTINUES\r\r\n");
            QCOMPARE(readiness.ready(dir, name), QStringList());
            nowMs += 1000;
        }
        writer.write("$$\r\r\n");
        writer.close();
        QCOMPARE(readiness.ready(dir, name), name);
    }
    void linkedArrivalFiledByPoller()
    {
        Ingest ingest;
        ingest.poller.watchArrivals();
        ingest.poller.start();
        QVERIFY(ingest.poller.isWatching());
        const QByteArray bytes =
            readBytes(testDataPath(QStringLiteral("corpus/products/AFDBOXMA.TXT")));
        QVERIFY(!bytes.isEmpty());
        QVERIFY(linkInto(Link::HardLink, ingest.home,
                         ingest.settings.TransferPath + QStringLiteral("AFDBOXMA.TXT"), bytes));
        QTRY_VERIFY_WITH_TIMEOUT(ingest.dataInEmpty(), 15000);
        QCOMPARE(FileLister::list(ingest.settings.TextPath), QStringList({"AFDBOX   ~KBOX~MA"}));
    }
    void watcherPathFilesAsTimerPath()
    {
        const auto burst = corpusBurst();
        QVERIFY(burst.size() > 30);

        // Timer path: passes of the plain poller.
        Ingest timer;
        for (const auto& [name, bytes] : burst)
            timer.deliver(name, bytes);
        timer.poller.runPassNow();
        QVERIFY(timer.dataInEmpty());

        // Watcher path: arrivals start the passes, in time-sliced batches; the
        // lists show each batch at once, as the program wires them.
        Ingest watched;
        QObject::connect(&watched.poller, &DataInPoller::batchStarted, &watched.lists,
                         &ProductLists::beginBatch);
        QObject::connect(&watched.poller, &DataInPoller::batchFinished, &watched.lists,
                         &ProductLists::endBatch);
        QSignalSpy batches(&watched.poller, &DataInPoller::batchFinished);
        QSignalSpy shown(&watched.lists.live(), &QAbstractItemModel::rowsInserted);
        watched.poller.watchArrivals();
        watched.poller.start();
        QVERIFY(watched.poller.isWatching());
        QSignalSpy passes(&watched.poller, &DataInPoller::passFinished);
        for (const auto& [name, bytes] : burst)
            watched.deliver(name, bytes);
        QTRY_VERIFY_WITH_TIMEOUT(watched.dataInEmpty(), 20000);
        QTRY_VERIFY(!watched.poller.passRunning());
        QVERIFY(!passes.isEmpty());

        QCOMPARE(watched.results(), timer.results());
        QVERIFY(!timer.loops.calls.isEmpty());
        QVERIFY(shown.count() <= batches.count());
        const ProductListModel& list = watched.lists.live();
        QCOMPARE(list.rowCount(), list.count());
        for (int row = 0; row < list.count(); ++row)
            QCOMPARE(list.data(list.index(row), Qt::DisplayRole).toString(), list.text(row));
    }

    void passTakesFilesInNameOrder()
    {
        Fixture f;
        f.drop({"B.TXT", "a.txt", "C.GIF"});
        f.poller.runPassNow();
        QCOMPARE(f.processor.calls, QStringList({"a.txt", "B.TXT", "C.GIF"}));
        QVERIFY(!f.poller.passRunning());
    }
    void versionsTakenInArrivalOrder_data()
    {
        // An engine writes a product as NAME, then NAME@1, NAME@2 ... while the
        // earlier ones wait: the last taken becomes the current version.
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("taken");
        QTest::newRow("past nine versions")
            << QStringList{"AFDBOXMA.TXT@10", "AFDBOXMA.TXT@2", "AFDBOXMA.TXT", "AFDBOXMA.TXT@1"}
            << QStringList{"AFDBOXMA.TXT", "AFDBOXMA.TXT@1", "AFDBOXMA.TXT@2", "AFDBOXMA.TXT@10"};
        QTest::newRow("among other products")
            << QStringList{"CF6DSMIA.TXT@11", "AFDDMXIA.TXT", "CF6DSMIA.TXT@9",
                           "CF6DSMIA.TXT",    "AHDNWCUS.TXT", "AFDDMXIA.TXT@100"}
            << QStringList{"AFDDMXIA.TXT", "AFDDMXIA.TXT@100", "AHDNWCUS.TXT",
                           "CF6DSMIA.TXT", "CF6DSMIA.TXT@9",   "CF6DSMIA.TXT@11"};
        QTest::newRow("case of the name ignored")
            << QStringList{"afdpsraz.txt@10", "AFDPSRAZ.TXT@9"}
            << QStringList{"AFDPSRAZ.TXT@9", "afdpsraz.txt@10"};
        QTest::newRow("suffix that is no number last")
            << QStringList{"AQAPQROR.TXT@old", "AQAPQROR.TXT@12", "AQAPQROR.TXT@3"}
            << QStringList{"AQAPQROR.TXT@3", "AQAPQROR.TXT@12", "AQAPQROR.TXT@old"};
    }
    void versionsTakenInArrivalOrder()
    {
        QFETCH(QStringList, listed);
        QFETCH(QStringList, taken);
        Fixture f;
        f.drop(listed);
        f.poller.runPassNow();
        QCOMPARE(f.processor.calls, taken);
    }
    void emptyDirectory()
    {
        Fixture f;
        QSignalSpy log(&f.poller, &DataInPoller::logAvailable);
        QVERIFY(f.tickAndWait());
        QVERIFY(f.processor.calls.isEmpty());
        QCOMPARE(log.size(), 1);
        QCOMPARE(log.first().first().toBool(), false);
        // The log button follows the alarm log file.
        f.home.write(QStringLiteral("prog/weather.txt"), "log");
        QVERIFY(f.tickAndWait());
        QCOMPARE(log.last().first().toBool(), true);
    }
    // Products moved in by another process while passes run are all taken
    // by passes that arrivals start, none left waiting for the polling timer.
    void concurrentBurstTakenByArrivalsAlone()
    {
        Fixture f;
        const int count = 3000;
        for (int i = 0; i < count; ++i)
            f.home.write(QStringLiteral("staging/P%1.TXT").arg(i, 4, 10, QLatin1Char('0')), "x");
        f.poller.watchArrivals();
        f.poller.setPollInterval(3600 * 1000);
        f.poller.start();
        QVERIFY(f.poller.isWatching());
        const QString staging = f.home.path() + QStringLiteral("/staging/");
        std::thread mover([&] {
            for (int i = 0; i < count; ++i) {
                const QString name = QStringLiteral("P%1.TXT").arg(i, 4, 10, QLatin1Char('0'));
                QFile::rename(staging + name, f.dataIn + name);
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(f.processor.calls.size(), count, 30000);
        mover.join();
        QTRY_VERIFY(!f.poller.passRunning());
        QCOMPARE(QDir(f.dataIn).entryList(QDir::Files), QStringList());
    }
    void timerOffDuringPassOnAfter()
    {
        Fixture f;
        f.drop({"A.TXT", "B.TXT"});
        f.poller.start();
        QVERIFY(f.poller.tmrRELink().isActive());
        QList<bool> timerDuringPass;
        bool otherTimerRan = false;
        f.processor.onCall = [&](const QString& name) {
            timerDuringPass << f.poller.tmrRELink().isActive();
            // Another timer of the window thread is served once a batch has
            // taken its time slice.
            if (name == QLatin1String("A.TXT")) {
                QTimer::singleShot(0, [&] { otherTimerRan = true; });
                QTest::qSleep(DataInPoller::SliceMs + 5);
            } else
                QVERIFY(otherTimerRan);
        };
        QVERIFY(f.tickAndWait());
        QCOMPARE(f.processor.calls, QStringList({"A.TXT", "B.TXT"}));
        QCOMPARE(timerDuringPass, QList<bool>({false, false}));
        QVERIFY(f.poller.tmrRELink().isActive());
        QVERIFY(f.poller.isRunning());
    }
    void errorIsReportedAndPollingResumes()
    {
        Fixture f;
        f.drop({"A.TXT", "B.TXT"});
        f.processor.failures[QStringLiteral("A.TXT")] = {53};
        f.poller.start();
        QVERIFY(f.tickAndWait());
        // The pass ends at the error: B.TXT waits for the next tick.
        QCOMPARE(f.processor.calls, QStringList({"A.TXT"}));
        QCOMPARE(f.prompter.messages.size(), 1);
        const auto& shown = f.prompter.messages.first();
        QCOMPARE(shown.text, ErrorReport::format(
                                 QStringLiteral("MAIN: Ingest Link"),
                                 RuntimeError(ErrorNumber::FileNotFound, QStringLiteral("A.TXT"))));
        QVERIFY(shown.text.startsWith(QStringLiteral("MAIN: Ingest Link\nError: 53\n")));
        QCOMPARE(shown.icon, IPrompter::Icon::Exclamation);
        QVERIFY(shown.title.isEmpty());
        QVERIFY(f.poller.tmrRELink().isActive());
        QVERIFY(f.tickAndWait());
        QCOMPARE(f.processor.calls, QStringList({"A.TXT", "A.TXT", "B.TXT"}));
        QCOMPARE(f.prompter.messages.size(), 1);
    }
    void fileBeingWrittenIsRetried()
    {
        Fixture f;
        f.drop({"A.TXT", "B.TXT"});
        f.processor.failures[QStringLiteral("A.TXT")] = {75, 75};
        QVERIFY(f.tickAndWait());
        QCOMPARE(f.processor.calls, QStringList({"A.TXT", "A.TXT", "A.TXT", "B.TXT"}));
        QVERIFY(f.prompter.messages.isEmpty());
        QVERIFY(!QFile::exists(f.dataIn + "A.TXT"));
    }
    void fileBeingWrittenForeverIsLeftForNextTick()
    {
        Fixture f;
        f.drop({"A.TXT", "B.TXT"});
        f.poller.setRetryLimit(3);
        f.processor.failures[QStringLiteral("A.TXT")] = QList<int>(10, 75);
        QVERIFY(f.tickAndWait());
        QCOMPARE(f.processor.calls.count(QStringLiteral("A.TXT")), 4);
        QCOMPARE(f.processor.calls.last(), QStringLiteral("B.TXT"));
        QVERIFY(QFile::exists(f.dataIn + "A.TXT"));
        QVERIFY(f.prompter.messages.isEmpty());
        // The synchronous pass obeys the same bound.
        f.processor.calls.clear();
        f.poller.runPassNow();
        QCOMPARE(f.processor.calls, QStringList(4, QStringLiteral("A.TXT")));
    }
};

QTEST_GUILESS_MAIN(TestArrivalReadiness)
#include "tst_arrivalreadiness.moc"
