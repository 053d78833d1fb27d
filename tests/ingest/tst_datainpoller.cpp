#include "TestSupport.h"
#include "ingest/DataInPoller.h"
#include "ingest/IProductProcessor.h"
#include "platform/ErrorReport.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QMap>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

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

class TestDataInPoller : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestDataInPoller)
#include "tst_datainpoller.moc"
