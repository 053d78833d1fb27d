#include "TestSupport.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProcessRunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <optional>

namespace {
// A program directory, another directory the user configured, and a
// directory on PATH, each possibly holding a program of the same name.
struct Places
{
    TestHome home;
    QString prog = home.path() + QStringLiteral("/prog/");
    QString user = home.path() + QStringLiteral("/user dir/");
    QString onPath = home.path() + QStringLiteral("/bin/");
    QByteArray savedPath = qgetenv("PATH");

    Places()
    {
        for (const QString& dir : {prog, user, onPath})
            QDir().mkpath(dir);
        qputenv("PATH", QFile::encodeName(onPath) + ":" + savedPath);
    }
    ~Places() { qputenv("PATH", savedPath); }
    // "prog:NAME", "user:NAME" or "path:NAME": an executable file there.
    void program(const QString& spec) const
    {
        const QString where = spec.section(QLatin1Char(':'), 0, 0);
        const QString dir = where == QLatin1String("prog")   ? prog
                            : where == QLatin1String("user") ? user
                                                             : onPath;
        const QString file = dir + spec.section(QLatin1Char(':'), 1);
        home.write(QDir(home.path()).relativeFilePath(file), "#!/bin/sh\n");
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    QString expand(QString text) const
    {
        return text.replace(QLatin1String("PROG/"), prog)
            .replace(QLatin1String("USER/"), user)
            .replace(QLatin1String("PATH/"), onPath);
    }
};
} // namespace

// The runner tells how a started program ended, later and without the
// caller waiting; a program still running when the runner goes keeps running.

Q_DECLARE_METATYPE(ProcessOutcome::Kind)

// A program that waits (at most 10 s) for the file "go" in the program
// directory, then writes "marker"; "late" when it gave up waiting.
const QString WaitForGo =
    QStringLiteral("sh -c \"i=0; while [ ! -e go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); "
                   "done; [ -e go ] || : > late; echo done > marker\"");

class TestProcesses : public QObject
{
    Q_OBJECT
private slots:
    void programLookup_data()
    {
        QTest::addColumn<QStringList>("files"); // "prog:NAME", "user:NAME", "path:NAME"
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("found"); // empty: the program is not started
        QTest::newRow("configured path beats program directory")
            << QStringList{"prog:gphplot", "user:gphplot"} << "USER/gphplot"
            << "USER/gphplot";
        QTest::newRow("configured path beats PATH")
            << QStringList{"path:gphplot", "user:gphplot"} << "USER/gphplot"
            << "USER/gphplot";
        QTest::newRow("missing configured program is not replaced")
            << QStringList{"prog:gphplot", "path:gphplot"} << "USER/gphplot"
            << "";
        QTest::newRow("configured .exe name without the extension")
            << QStringList{"user:alarmprog"} << "USER/alarmprog.exe"
            << "USER/alarmprog";
        QTest::newRow("bare name: program directory first")
            << QStringList{"prog:blat", "path:blat"} << "blat"
            << "PROG/blat";
        QTest::newRow("bare name: then PATH") << QStringList{"path:blat"} << "blat.exe"
                                              << "PATH/blat";
        QTest::newRow("program directory name is looked up")
            << QStringList{"path:RivarODEZE"} << "PROG/RivarODEZE.exe"
            << "PATH/RivarODEZE";
        QTest::newRow("lower-case file for a mixed-case name")
            << QStringList{"prog:engine"} << "PROG/Engine"
            << "PROG/engine";
        QTest::newRow("relative path is taken from the program directory")
            << QStringList{"prog:tool", "path:tool"} << "./tool"
            << "PROG/tool";
        QTest::newRow("nothing anywhere") << QStringList{} << "NoSuchEngine"
                                          << "";
    }
    void programLookup()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, program);
        QFETCH(QString, found);
        Places places;
        for (const QString& file : files)
            places.program(file);
        ProcessLauncher launcher(places.prog);
        const QString expected =
            found.isEmpty() ? QString() : QFileInfo(places.expand(found)).absoluteFilePath();
        QCOMPARE(launcher.findProgram(places.expand(program)), expected);
        const QStringList resolved =
            launcher.resolve(QLatin1Char('"') + places.expand(program) + QStringLiteral("\" x"));
        QCOMPARE(resolved.value(0), expected);
    }
    void splitCommand_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("blanks separate") << "a  b\tc " << QStringList{"a", "b", "c"};
        QTest::newRow("quotes group") << "a \"b c\" d" << QStringList{"a", "b c", "d"};
        QTest::newRow("empty quoted argument kept")
            << "blat body -s \"\" -t me@x.org"
            << QStringList{"blat", "body", "-s", "", "-t", "me@x.org"};
        QTest::newRow("empty argument at the end") << "a \"\"" << QStringList{"a", ""};
        QTest::newRow("three quotes are one literal quote")
            << "a \"say \"\"\"hi\"\"\"\"" << QStringList{"a", "say \"hi\""};
        QTest::newRow("quotes inside a word") << "x\"a b\"y" << QStringList{"xa by"};
        QTest::newRow("only blanks") << "   " << QStringList{};
    }
    void splitCommand()
    {
        QFETCH(QString, line);
        QTEST(ProcessLauncher::splitCommand(line), "args");
    }
    void argumentsReachTheProgram_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QStringList>("received");
        QTest::newRow("empty subject")
            << "\"PROG/output.txt\" -s \"\" -t me@x.org -q"
            << QStringList{"PROG/output.txt", "-s", "", "-t", "me@x.org", "-q"};
        QTest::newRow("recipient with blank stays one")
            << "-t \"a@x.org -cc evil@y.org\"" << QStringList{"-t", "a@x.org -cc evil@y.org"};
        QTest::newRow("shell characters are plain text")
            << "\"$(touch PROG/pwned); `id` > PROG/x\""
            << QStringList{"$(touch PROG/pwned); `id` > PROG/x"};
    }
    void argumentsReachTheProgram()
    {
        QFETCH(QString, arguments);
        QFETCH(QStringList, received);
        Places places;
        ArgumentRecorder recorder(places.prog + QStringLiteral("blat"));
        ProcessLauncher launcher(places.prog);
        QVERIFY(launcher.start(places.prog + QStringLiteral("blat ") + places.expand(arguments),
                               LaunchWindow::Hidden) != 0);
        const std::optional<QStringList> args = recorder.waitForRun();
        QVERIFY(args);
        for (QString& arg : received)
            arg = places.expand(arg);
        QCOMPARE(*args, received);
        QVERIFY(!QFile::exists(places.prog + QStringLiteral("pwned")));
    }

    void outcome_data()
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
    void outcome()
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
    void doesNotWait()
    {
        TestHome home;
        ProcessRunner runner(home.path() + QStringLiteral("/"));
        bool done = false;
        runner.run(WaitForGo, LaunchWindow::Hidden,
                   [&done](const ProcessOutcome&) { done = true; });
        // run() is back while the program still waits for us.
        QCOMPARE(runner.running(), 1);
        home.write(QStringLiteral("go"), "");
        QTRY_VERIFY_WITH_TIMEOUT(done, 15000);
        QVERIFY(!QFile::exists(home.file(QStringLiteral("late"))));
    }
    void outlivesTheRunner()
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
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
