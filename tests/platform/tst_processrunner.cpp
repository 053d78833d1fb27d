// The runner tells how a started program ended, later and without the
// caller waiting; a program still running when the runner goes keeps running.
#include "TestSupport.h"
#include "platform/ProcessRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <optional>

Q_DECLARE_METATYPE(ProcessOutcome::Kind)

class TestProcessRunner : public QObject
{
    Q_OBJECT
private slots:
    void outcome_data();
    void outcome();
    void doesNotWait();
    void outlivesTheRunner();
};

void TestProcessRunner::outcome_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<ProcessOutcome::Kind>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("success") << "true" << ProcessOutcome::Kind::Finished << 0;
    QTest::newRow("exit code") << "sh -c \"exit 3\"" << ProcessOutcome::Kind::Finished << 3;
    QTest::newRow("quoted arguments stay whole")
        << "sh -c \"test $# -eq 1\" zero \"a b\"" << ProcessOutcome::Kind::Finished << 0;
    QTest::newRow("killed") << "sh -c \"kill -KILL $$\"" << ProcessOutcome::Kind::Crashed << -1;
    QTest::newRow("no such program")
        << "no-such-program-here x" << ProcessOutcome::Kind::NotFound << -1;
    QTest::newRow("empty command line") << "" << ProcessOutcome::Kind::NotFound << -1;
    QTest::newRow("reads nothing from standard input")
        << "cat" << ProcessOutcome::Kind::Finished << 0;
}

void TestProcessRunner::outcome()
{
    QFETCH(QString, commandLine);
    QFETCH(ProcessOutcome::Kind, kind);
    QFETCH(int, exitCode);
    TestHome home;
    ProcessRunner runner(home.path() + QStringLiteral("/"));
    int calls = 0;
    ProcessOutcome got;
    runner.run(commandLine, LaunchWindow::Hidden, [&](const ProcessOutcome& outcome) {
        ++calls;
        got = outcome;
    });
    // Never reported before run() returns, even when nothing could start.
    QCOMPARE(calls, 0);
    QTRY_COMPARE_WITH_TIMEOUT(calls, 1, 10000);
    QCOMPARE(got.kind, kind);
    QCOMPARE(got.exitCode, exitCode);
    QCOMPARE(got.succeeded(), kind == ProcessOutcome::Kind::Finished && exitCode == 0);
    // Reported once: the process object is gone, so nothing can follow.
    QTRY_VERIFY_WITH_TIMEOUT(runner.findChildren<QProcess*>().isEmpty(), 10000);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(calls, 1);
    QCOMPARE(runner.running(), 0);
}

// A program that waits (at most 10 s) for the file "go" in the program
// directory, then writes "marker"; "late" when it gave up waiting.
const QString WaitForGo =
    QStringLiteral("sh -c \"i=0; while [ ! -e go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); "
                   "done; [ -e go ] || : > late; echo done > marker\"");

void TestProcessRunner::doesNotWait()
{
    TestHome home;
    ProcessRunner runner(home.path() + QStringLiteral("/"));
    bool done = false;
    runner.run(WaitForGo, LaunchWindow::Hidden, [&done](const ProcessOutcome&) { done = true; });
    // run() is back while the program still waits for us.
    QCOMPARE(runner.running(), 1);
    home.write(QStringLiteral("go"), "");
    QTRY_VERIFY_WITH_TIMEOUT(done, 15000);
    QVERIFY(!QFile::exists(home.file(QStringLiteral("late"))));
}

void TestProcessRunner::outlivesTheRunner()
{
    TestHome home;
    const QString marker = home.file(QStringLiteral("marker"));
    bool reported = false;
    {
        ProcessRunner runner(home.path() + QStringLiteral("/"));
        runner.run(WaitForGo, LaunchWindow::Hidden,
                   [&reported](const ProcessOutcome&) { reported = true; });
        QTRY_VERIFY_WITH_TIMEOUT(runner.findChildren<QProcess*>().value(0) &&
                                     runner.findChildren<QProcess*>().value(0)->state() ==
                                         QProcess::Running,
                                 10000);
    }
    QCOMPARE(ProcessRunner::released(), 1);
    home.write(QStringLiteral("go"), "");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    QCOMPARE(readBytes(marker), QByteArray("done\n"));
    QVERIFY(!QFile::exists(home.file(QStringLiteral("late"))));
    QVERIFY(!reported);
    // The released process object goes once its program has ended.
    QTRY_COMPARE_WITH_TIMEOUT(ProcessRunner::released(), 0, 10000);
}

QTEST_GUILESS_MAIN(TestProcessRunner)
#include "tst_processrunner.moc"
