#include "FakeSoundOutput.h"
#include "FiledProductOf.h"
#include "TestSupport.h"
#include "alarms/AlarmActions.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmDispatcher.h"
#include "alarms/AlarmSound.h"
#include "alarms/ExeAlarmCommand.h"
#include "alarms/IScrollWindows.h"
#include "platform/RuntimeError.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString TorKey = QStringLiteral("TORDMX   ~KDMX~IA");

class FakeScrollWindows : public IScrollWindows
{
public:
    bool openScroll(const QString& caption, const QString& title, const QString& tag) override
    {
        if (opened.size() >= room)
            return false;
        opened << QStringList{caption, title, tag};
        return true;
    }
    QList<QStringList> opened;
    int room = 10;
};

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return true; }
};

struct Fixture : CoreFixture
{
    FakeSoundOutput output;
    FakeScrollWindows scrolls;
    AlarmSound sound{settings, menus};
    AlarmActions actions{
        {programDir, settings, alarms, display, lists, status, launcher, clock, sound}};

    Fixture()
    {
        QDir().mkpath(programDir);
        settings.TextPath = home.path() + QStringLiteral("/text/");
        settings.GIFPath = home.path() + QStringLiteral("/images/");
        settings.SAPath = home.path() + QStringLiteral("/hourly/");
        settings.ArchivePath = home.path() + QStringLiteral("/archive/");
        QDir().mkpath(settings.ArchivePath);
        sound.setOutput(&output);
        actions.setScrollWindows(&scrolls);
    }
    void programs(const QByteArray& lines)
    {
        alarms.loadExe(home.write(QStringLiteral("prog/alarm-exe.txt"), lines));
    }
};

ErrorNumber failure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return ErrorNumber{};
}

} // namespace

class TestAlarmActions : public QObject
{
    Q_OBJECT
private slots:
    void filingDirectory_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dir"); // "none" for no directory
        QTest::newRow("product key") << TorKey << "text";
        QTest::newRow("GIF image") << "RADUSAPN-12051507.GIF"
                                   << "images";
        QTest::newRow("JPG image") << "SATUSAPN-12051507.JPG"
                                   << "images";
        QTest::newRow("collection") << "SFCOBSUS.ZIS"
                                    << "hourly";
        QTest::newRow("graphic") << "RADUSAPN.GPH"
                                 << "none";
    }
    void filingDirectory()
    {
        QFETCH(QString, name);
        QFETCH(QString, dir);
        Fixture f;
        const std::optional<QString> found = AlarmActions::filingDirectory(f.settings, name);
        if (dir == QLatin1String("none"))
            QVERIFY(!found);
        else
            QCOMPARE(*found, f.home.path() + QLatin1Char('/') + dir + QLatin1Char('/'));
    }
    void archive_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("output3");
        QTest::addColumn<QString>("target");     // empty: nothing written
        QTest::addColumn<QByteArray>("content"); // what the target holds
        QTest::newRow("filed product copied under 6 characters")
            << TorKey << ""
            << "TORDMX" << QByteArray("\x01\r\r\nTORNADO\r\r\n");
        QTest::newRow("segment written as one line")
            << TorKey << "IAC117 SEGMENT"
            << "TORDMX" << QByteArray("IAC117 SEGMENT\r\n");
        QTest::newRow("image from the image directory") << "RADUSAPN-12051507.GIF"
                                                        << ""
                                                        << "RADUSA" << QByteArray("GIF89a");
        QTest::newRow("graphic: nothing") << "RADUSAPN.GPH"
                                          << ""
                                          << "" << QByteArray();
    }
    void archive()
    {
        QFETCH(QString, name);
        QFETCH(QString, output3);
        QFETCH(QString, target);
        QFETCH(QByteArray, content);
        Fixture f;
        f.home.write(QStringLiteral("text/") + TorKey, "\x01\r\r\nTORNADO\r\r\n");
        f.home.write(QStringLiteral("images/RADUSAPN-12051507.GIF"), "GIF89a");
        f.home.write(QStringLiteral("archive/TORDMX"),
                     "an older archive copy, longer than the new");
        f.actions.AlarmArchive(name, output3);
        if (target.isEmpty()) {
            QCOMPARE(QDir(f.settings.ArchivePath).entryList(QDir::Files), QStringList({"TORDMX"}));
            return;
        }
        QCOMPARE(readBytes(f.settings.ArchivePath + target), content);

        // A product that is gone is reported; the archive copy stays as it was.
        QFile::remove(f.settings.TextPath + TorKey);
        QFile::remove(f.settings.GIFPath + name);
        f.actions.AlarmArchive(name, QString());
        QCOMPARE(readBytes(f.settings.ArchivePath + target), content);
        QVERIFY2(f.status.text().startsWith(QStringLiteral("Cannot archive")),
                 qPrintable(f.status.text()));
    }
    void exeCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments"); // "%p" stands for the product's path
        QTest::addColumn<QString>("directory");     // "%d" the program directory
        QTest::newRow("absolute program runs in its directory")
            << "/opt/tools/view $1"
            << "/opt/tools/view" << QStringList{"%p"} << "/opt/tools/";
        QTest::newRow("bare program runs in the program directory")
            << "view $1"
            << "view" << QStringList{"%p"} << "%d";
        QTest::newRow("quoted program with blanks")
            << "\"/opt/my tools/view\" -f $1 -q"
            << "/opt/my tools/view" << QStringList{"-f", "%p", "-q"} << "/opt/my tools/";
        QTest::newRow("$1 inside an argument") << "view --file=$1"
                                               << "view" << QStringList{"--file=%p"} << "%d";
        QTest::newRow("$1 already quoted") << "view \"$1\""
                                           << "view" << QStringList{"%p"} << "%d";
        QTest::newRow("twice") << "cmp $1 $1.old"
                               << "cmp" << QStringList{"%p", "%p.old"} << "%d";
        QTest::newRow("no $1") << "beep-now"
                               << "beep-now" << QStringList{} << "%d";
        QTest::newRow("empty") << "  "
                               << "" << QStringList{} << "";
    }
    void exeCommand()
    {
        QFETCH(QString, command);
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, directory);
        // A path with blanks, quotes and shell characters stays one argument.
        const QString path = QStringLiteral("/w/te\"xt $(touch x); dir/TOR\"GRR  ~KGRR~MI $1");
        const QString programDir = QStringLiteral("/home/u/.local/share/vantorel/");
        const ExeAlarmCommand exe(command, path, programDir);
        QStringList expected;
        for (const QString& a : arguments)
            expected << QString(a).replace(QStringLiteral("%p"), path);
        QCOMPARE(exe.isEmpty(), program.isEmpty());
        QCOMPARE(exe.program(), program);
        QCOMPARE(exe.arguments(), expected);
        QCOMPARE(exe.workingDirectory(),
                 QString(directory).replace(QStringLiteral("%d"), programDir));
    }
    void exeFailures()
    {
        Fixture f;
        f.programs("\"/opt/view $1\",\"View\"\r\n");
        QCOMPARE(failure([&] { f.actions.AlarmEXE(2, TorKey); }), ErrorNumber::FileNotFound);
        f.launcher.result = 0; // the program cannot be started
        QCOMPARE(failure([&] { f.actions.AlarmEXE(1, TorKey); }), ErrorNumber::FileNotFound);
        f.actions.AlarmEXE(1, QStringLiteral("RADUSAPN.GPH")); // graphics start nothing
        QCOMPARE(f.launcher.programs.size(), 1);
    }
    void exeRunsProgramWithPathAsOneArgument()
    {
        Fixture f;
        // The user's program records its working directory and each argument.
        const QString tools = f.home.path() + QStringLiteral("/tools/");
        const QString script = f.home.write(
            QStringLiteral("tools/record"),
            "#!/bin/sh\npwd > ran.tmp\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> ran.tmp; done\n"
            "mv ran.tmp ran.txt\n");
        QFile::setPermissions(script, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner);
        f.programs("\"" + script.toUtf8() + " $1 --end\",\"Record\"\r\n");
        f.settings.TextPath = f.home.path() + QStringLiteral("/te\"xt $(touch injected); dir/");
        const QString key = QStringLiteral("TORGRR   ~KGRR~MI");
        ProcessLauncher launcher(f.programDir);
        AlarmActions actions{{f.programDir, f.settings, f.alarms, f.display, f.lists, f.status,
                              launcher, f.clock, f.sound}};
        actions.AlarmEXE(1, key);
        const QString ran = tools + QStringLiteral("ran.txt");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ran), 5000);
        const QStringList lines = QString::fromUtf8(readBytes(ran)).split(QLatin1Char('\n'));
        QCOMPARE(lines,
                 QStringList({QDir(tools).absolutePath(), f.settings.TextPath + key, "--end", ""}));
        QVERIFY(!QFile::exists(tools + QStringLiteral("injected")));
        QVERIFY(!QFile::exists(f.programDir + QStringLiteral("injected")));

        // A program that is not there is reported as missing.
        f.programs("\"" + tools.toUtf8() + "missing $1\",\"Missing\"\r\n");
        QCOMPARE(failure([&] { actions.AlarmEXE(1, key); }), ErrorNumber::FileNotFound);
    }
    void screenListAndScroll()
    {
        Fixture f;
        f.actions.AlarmScreen(QStringLiteral("TORNADO WARNING"), TorKey);
        QCOMPARE(f.display.text(), QStringLiteral("TORNADO WARNING"));
        QCOMPARE(f.display.tag(), TorKey);

        f.lists.showList(ListKind::Live);
        f.lists.alarmed().insertTop(QStringLiteral("AFDDMX   ~KDMX~IA"), 0);
        f.actions.AlarmList(TorKey);
        QCOMPARE(f.lists.alarmed().texts(), QStringList({TorKey, "AFDDMX   ~KDMX~IA"}));
        QCOMPARE(f.lists.shownList(), ListKind::Alarmed);
        QCOMPARE(*f.lists.alarmed().entry(0).foreground, QColor(255, 0, 0));
        QCOMPARE(f.output.played, QStringList({f.programDir + "alert9.wav"}));

        f.actions.AlarmVisual(QStringLiteral("TORNADO\r\nWARNING\rFOR\nPOLK"), TorKey,
                              QStringLiteral("TORDMX"));
        const QString text = QStringLiteral("TORNADO  WARNING FOR POLK");
        QCOMPARE(f.scrolls.opened, QList<QStringList>({{text + QString(21, ' '),
                                                        "TORDMX - 12/6/2026 6:27:51 PM", text}}));
        QCOMPARE(f.output.beeps, 1);
    }
    void scrollWindowLimit()
    {
        Fixture f;
        f.scrolls.room = 1;
        f.actions.AlarmVisual(QStringLiteral("ONE"), TorKey, QStringLiteral("TORDMX"));
        QCOMPARE(failure([&] { f.actions.AlarmVisual(QStringLiteral("TWO"), TorKey, "TORDMX"); }),
                 ErrorNumber::SubscriptOutOfRange);
        QCOMPARE(f.output.beeps, 1); // no beep for the window that did not open
        QVERIFY(!f.actions.openScroll(QStringLiteral("METAR"), QStringLiteral("METAR Observation"),
                                      QString()));
    }
    void tornadoWarningEndToEnd()
    {
        // A tornado warning for the user's county: shown, scrolled, sounded,
        // listed, archived and the program started, once; the repeat and a
        // definition for another county stay silent.
        Fixture f;
        NoPrinter printer;
        AlarmComponent component(f.programDir, f.tables, f.clock, printer);
        AlarmDispatcher dispatcher(f.alarms, f.settings, f.display, f.clock, f.prompter, component);
        f.actions.connectTo(component);
        f.tables.loadCounties(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/fips63.txt"));
        f.tables.loadZones(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/zonecode.csv"));
        f.programs("\"/opt/view $1\",\"View\"\r\n");
        AlarmDefinition polk;
        polk.pattern = QStringLiteral("TORDMX");
        polk.display = polk.list = polk.custom = 1;
        polk.scroll = 1;
        polk.audio = 2;
        polk.exe = 1;
        AlarmDefinition elsewhere = polk;
        elsewhere.pattern = QStringLiteral("TOR???");
        elsewhere.zone = QStringLiteral("MIC081");
        f.alarms.definitions() = {polk, elsewhere};
        f.home.write(QStringLiteral("text/") + TorKey,
                     readBytes(testDataPath(QStringLiteral("ugc/TORDMXIA.TXT"))));
        for (int round = 0; round < 2; ++round)
            dispatcher.runAlarms(filedProductOf(f.settings, TorKey, QStringLiteral("TORDMX")));

        QVERIFY(f.display.text().contains(QStringLiteral("TORNADO WARNING FOR...")));
        QCOMPARE(f.display.tag(), TorKey);
        QCOMPARE(f.scrolls.opened.size(), 1);
        QCOMPARE(f.scrolls.opened.first().at(1), QStringLiteral("TORDMX - 12/6/2026 6:27:51 PM"));
        QCOMPARE(f.lists.alarmed().texts(), QStringList({TorKey}));
        QCOMPARE(f.output.played,
                 QStringList({f.programDir + "alert9.wav", f.programDir + "alert3.wav"}));
        QVERIFY(f.sound.running());
        QCOMPARE(readBytes(f.settings.ArchivePath + QStringLiteral("TORDMX")),
                 readBytes(testDataPath(QStringLiteral("ugc/TORDMXIA.TXT"))));
        QCOMPARE(f.launcher.programs.size(), 1);
        QCOMPARE(f.launcher.programs.first().arguments,
                 QStringList({f.settings.TextPath + TorKey}));
    }
};

QTEST_MAIN(TestAlarmActions)
#include "tst_alarmactions.moc"
