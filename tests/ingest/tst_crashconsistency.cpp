#include "TestSupport.h"
#include "ZipWriter.h"
#include "core/IAlarmLoops.h"
#include "core/NoMetarHooks.h"
#include "ingest/DataInPoller.h"
#include "ingest/ProductProcessor.h"
#include "platform/DirectoryEntries.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <csignal>

// A burst of products is filed by a child process that is killed (SIGKILL)
// at random moments and started again, until Data-In is empty. Afterwards
// the store, the receipts and Data-In together must hold every product whole:
// nothing lost, nothing half-written, nothing left staged.

namespace {
const char* const kChildFlag = "--file-burst";

class NoAlarmLoops : public IAlarmLoops
{
public:
    void runAlarms(const FiledProduct&) override {}
};

struct Layout
{
    QString root;
    QString dataIn;
    QString text() const { return root + QStringLiteral("/text/"); }
    QString images() const { return root + QStringLiteral("/images/"); }
    QString hourly() const { return root + QStringLiteral("/hourly/"); }
    QString prog() const { return root + QStringLiteral("/prog/"); }
    QString receipts() const { return prog() + QStringLiteral("track/emwin/"); }
};

// The child: the program's own filing services over the given directories,
// polling until Data-In holds nothing more.
int fileBurst(const Layout& layout)
{
    Settings settings;
    settings.TransferPath = layout.dataIn;
    settings.TextPath = layout.text();
    settings.GIFPath = layout.images();
    settings.SAPath = layout.hourly();
    settings.TrackPath = layout.prog() + QStringLiteral("track/");
    settings.PurgeProd = 20;
    ReferenceTables tables;
    MenuDefinitions menus;
    AlarmFile alarms;
    StatusLine status;
    DisplayState display;
    ProductLists lists;
    NewProducts newProducts;
    FakeClock clock;
    RecordingLauncher launcher;
    ScriptedPrompter prompter;
    NoAlarmLoops loops;
    NoMetarHooks metar;
    const ProductProcessor::Context context{layout.prog(), settings, tables,   menus,
                                            alarms,        status,   display,  lists,
                                            newProducts,   clock,    launcher, prompter};
    ProductProcessor processor(context, loops, metar);
    DataInPoller poller(layout.prog(), prompter);
    poller.setDirectory(layout.dataIn);
    poller.setProcessor(&processor);
    poller.setRetryDelay(0);
    for (int pass = 0; pass < 1000; ++pass) {
        poller.runPassNow();
        if (QDir(layout.dataIn).isEmpty(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            return 0;
    }
    return 2;
}

QByteArray product(int i)
{
    // Distinct keys; sizes up to ~300 KB so that kills also land inside copies.
    const int size = int(QRandomGenerator::global()->bounded(300 * 1024));
    QByteArray body = "FXUS63 KGRR 051200\r\r\nB" + QByteArray::number(i).rightJustified(4, '0') +
                      "GRR\r\r\n\r\r\nPRODUCT " + QByteArray::number(i) + "\r\r\n";
    body += QByteArray(size, char('A' + i % 26));
    return body + "\r\r\nEND " + QByteArray::number(i) + "\r\r\n";
}

QString nameOf(int i)
{
    return QStringLiteral("B%1MI.TXT").arg(i, 5, 10, QLatin1Char('0'));
}

QString keyOf(int i)
{
    return QStringLiteral("B%1GRR").arg(i, 4, 10, QLatin1Char('0')).leftJustified(9) +
           QStringLiteral("~KGRR~MI");
}

// Receipts written so far: one per product filed.
qsizetype receiptCount(const Layout& layout)
{
    return QDir(layout.receipts()).entryList(QDir::Files).size();
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT
private slots:
    void killedWhileFilingLosesNothing_data();
    void killedWhileFilingLosesNothing();
};

void TestCrashConsistency::killedWhileFilingLosesNothing_data()
{
    QTest::addColumn<bool>("crossFileSystem");
    QTest::newRow("Data-In beside the store") << false;
    QTest::newRow("Data-In on another file system") << true;
}

void TestCrashConsistency::killedWhileFilingLosesNothing()
{
    QFETCH(bool, crossFileSystem);
    TestHome home;
    std::unique_ptr<QTemporaryDir> shm;
    Layout layout{home.path(), home.path() + QStringLiteral("/in/")};
    if (crossFileSystem) {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            QSKIP("no second file system");
        shm = std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/vantorel-XXXXXX"));
        layout.dataIn = shm->path() + QStringLiteral("/");
    }
    for (const QString& dir :
         {layout.dataIn, layout.text(), layout.images(), layout.hourly(), layout.receipts()})
        QDir().mkpath(dir);

    const int count = 240;
    QMap<QString, QByteArray> expected; // key -> bytes
    for (int i = 0; i < count; ++i) {
        const QByteArray bytes = product(i);
        expected.insert(keyOf(i), bytes);
        if (i % 10 == 9) { // some arrive compressed
            QVERIFY(
                writeZip(layout.dataIn + nameOf(i).replace(".TXT", ".ZIS"), {{nameOf(i), bytes}}));
            continue;
        }
        QFile file(layout.dataIn + nameOf(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    int kills = 0;
    int midBurst = 0; // kills after filing began, with products still waiting
    bool finished = false;
    for (int run = 0; run < 300 && !finished; ++run) {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QLatin1String(kChildFlag), layout.root, layout.dataIn});
        child.start();
        QVERIFY(child.waitForStarted(10000));
        // Every other child is killed after a random number of products of
        // its own, the others after a random time that grows from run to run,
        // so that kills land inside the burst on a fast machine and the burst
        // still ends on a slow one.
        if (run % 2 == 1) {
            const qsizetype target =
                receiptCount(layout) + 1 + QRandomGenerator::global()->bounded(30);
            QElapsedTimer waited;
            waited.start();
            while (!child.waitForFinished(1) && receiptCount(layout) < target &&
                   waited.elapsed() < 10000) {
            }
        } else {
            child.waitForFinished(10 + int(QRandomGenerator::global()->bounded(20 + 10 * run)));
        }
        if (child.state() == QProcess::NotRunning) {
            QCOMPARE(child.exitStatus(), QProcess::NormalExit);
            QCOMPARE(child.exitCode(), 0);
            finished = true;
            break;
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(10000);
        ++kills;
        if (!QDir(layout.text()).isEmpty(QDir::Files | QDir::Hidden) &&
            !QDir(layout.dataIn).isEmpty(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot))
            ++midBurst;
    }
    QVERIFY2(finished, "the burst was never finished");

    // Every product is filed whole under its key (an archive filed again after
    // a kill may have left an identical older version); nothing else is there.
    int lost = 0, damaged = 0;
    const QStringList filed = QDir(layout.text()).entryList(QDir::Files | QDir::Hidden);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (readBytes(layout.text() + it.key()) != it.value())
            ++lost;
    }
    for (const QString& name : filed) {
        const QString key = name.section(QLatin1Char('.'), 0, 0);
        if (!expected.contains(key) || readBytes(layout.text() + name) != expected.value(key))
            ++damaged; // a staged, temporary or half-written file
    }
    // Every receipt names its product's key.
    int receiptsMissing = 0;
    for (int i = 0; i < count; ++i) {
        if (readBytes(layout.receipts() + nameOf(i)) != (keyOf(i) + "\r\n").toLatin1())
            ++receiptsMissing;
    }
    const int quarantined =
        int(QDir(layout.prog() + QStringLiteral("track/bad/")).entryList(QDir::Files).size());
    qInfo().noquote() << QStringLiteral("crash consistency: kills %1 (%7 during the burst), "
                                        "products %2, lost %3, damaged %4, receipts missing %5, "
                                        "quarantined %6")
                             .arg(kills)
                             .arg(count)
                             .arg(lost)
                             .arg(damaged)
                             .arg(receiptsMissing)
                             .arg(quarantined)
                             .arg(midBurst);
    QVERIFY(midBurst > 0);
    QCOMPARE(lost, 0);
    QCOMPARE(damaged, 0);
    QCOMPARE(receiptsMissing, 0);
    QCOMPARE(quarantined, 0);
    QVERIFY(QDir(layout.dataIn).isEmpty(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], kChildFlag) == 0)
        return fileBurst(Layout{QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3])});
    TestCrashConsistency test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashconsistency.moc"
