#include "TestSupport.h"
#include "platform/ProcessLauncher.h"

#include <QDir>
#include <QFile>
#include <QTest>

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

class TestProcessLauncher : public QObject
{
    Q_OBJECT
private slots:
    void programLookup_data();
    void programLookup();
    void splitCommand_data();
    void splitCommand();
    void argumentsReachTheProgram_data();
    void argumentsReachTheProgram();
};

void TestProcessLauncher::programLookup_data()
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

void TestProcessLauncher::programLookup()
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

void TestProcessLauncher::splitCommand_data()
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

void TestProcessLauncher::splitCommand()
{
    QFETCH(QString, line);
    QTEST(ProcessLauncher::splitCommand(line), "args");
}

void TestProcessLauncher::argumentsReachTheProgram_data()
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

void TestProcessLauncher::argumentsReachTheProgram()
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

QTEST_GUILESS_MAIN(TestProcessLauncher)
#include "tst_processlauncher.moc"
