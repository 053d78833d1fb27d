#include "TestSupport.h"
#include "app/ConfigModel.h"
#include "app/MainState.h"
#include "app/ProgramDirectory.h"
#include "app/StartupHost.h"
#include "app/StartupSequence.h"
#include "ingest/DataInPoller.h"
#include "notify/Pager.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {
// Records what start-up asks of the window; the configuration dialog is
// "closed" by running a scripted Save.
class FakeHost : public IStartupHost
{
public:
    bool isSmallScreen() const override { return false; }
    void applySmallScreenLayout() override { calls << "small"; }
    void applyWindowSize(double w, double h) override
    {
        calls << QStringLiteral("size %1 %2").arg(w).arg(h);
    }
    void showMainWindow() override { calls << "show"; }
    void hideMainWindow() override { calls << "hide"; }
    void processEvents() override {}
    void setSuspendPageVisible(bool v) override { suspendPageVisible = v; }
    void setWxPlotVisible(bool v) override { wxPlotVisible = v; }
    void showConfigModeless() override { calls << "config"; }
    void hideConfig() override { calls << "hideConfig"; }
    void execConfigModal() override
    {
        calls << "configModal";
        if (onModal)
            onModal();
    }
    void applyDefinitions(const MenuDefinitions&) override { calls << "definitions"; }
    void showDisplay() override { calls << "display"; }
    void reopenLastImage() override { calls << "image"; }
    void setHideIngestVisible(bool v) override { hideIngestVisible = v; }

    QStringList calls;
    bool suspendPageVisible = true;
    bool wxPlotVisible = false;
    bool hideIngestVisible = true;
    std::function<void()> onModal;
};

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    SettingsStore store{home.file(QStringLiteral(".config/Vantorel-v15.conf"))};
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    std::unique_ptr<MainState> state;
    FakeHost host;
    QStringList programsFound; // outside programs that "exist"

    Fixture()
    {
        ProgramDirectory::prepare(programDir, {QStringLiteral(VANTOREL_SOURCE_DATA_DIR)});
        state = std::make_unique<MainState>(
            programDir, MainState::Services{&store, &launcher, &windows, &prompter, &clock, nullptr,
                                            &launcher});
    }
    bool run()
    {
        StartupSequence startup(*state, host);
        startup.findProgram = [this](const QString& name) {
            return programsFound.contains(name) ? programDir + name : QString();
        };
        const bool ok = startup.run();
        lastFile = startup.currentFile();
        return ok;
    }
    void configured(const QString& extraKey = QString(), const QString& value = QString())
    {
        store.write("Config", "TextPath", home.path() + "/text/");
        store.write("Config", "NetworkMode", "True");
        if (!extraKey.isEmpty())
            store.write("Config", extraKey, value);
    }
    QString lastFile;
};
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void firstRunAnsweredNo()
    {
        Fixture f;
        f.prompter.answers << IPrompter::Answer::No;
        QVERIFY(f.run());
        const Settings& s = f.state->settings;
        QCOMPARE(s.TransferPath, f.programDir + QStringLiteral("track/transfer/"));
        QCOMPARE(s.TextPath, Settings::defaultTextPath());
        QCOMPARE(f.prompter.questions, QStringList({"Create default directory structure?"}));
        QVERIFY(!QFileInfo::exists(s.TextPath));
        QVERIFY(!QFileInfo::exists(s.GIFPath));
        for (const char* dir : {"track/rcv", "track/byte", "track/emwin", "track/transfer"})
            QVERIFY2(QFileInfo(f.programDir + QLatin1String(dir)).isDir(), dir);
        QCOMPARE(f.store.read("Config", "TrackPath", ""), f.programDir + QStringLiteral("track/"));
        QCOMPARE(f.store.read("Config", "TextPath", ""), Settings::defaultTextPath());
        // No engine program here: a new user starts in network mode.
        QVERIFY(s.NetworkMode);
        QVERIFY(!f.host.hideIngestVisible);
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup Successful"));
        const int hide = f.host.calls.indexOf("hide");
        QVERIFY(hide >= 0);
        QCOMPARE(f.host.calls.mid(hide, 5),
                 QStringList({"hide", "config", "hideConfig", "configModal", "show"}));
        QVERIFY(f.launcher.commandLines.isEmpty());
        QVERIFY(f.state->poller().isRunning());
    }
    void firstRunSaveWritesKeys()
    {
        Fixture f;
        f.prompter.answers << IPrompter::Answer::Yes;
        f.host.onModal = [&] {
            ConfigModel model(*f.state);
            ConfigFields fields = model.load();
            QCOMPARE(fields.mode, 2);
            fields.state = {QString(), QStringLiteral("DTX"), QString()};
            fields.delay = QStringLiteral(" 5 ");
            QCOMPARE(model.save(fields), ConfigModel::SaveResult::Saved);
        };
        QVERIFY(f.run());
        QVERIFY(QFileInfo(Settings::defaultTextPath()).isDir());
        QVERIFY(QFileInfo(f.state->settings.GIFPath).isDir());
        QCOMPARE(f.store.read("Config", "Filter1", ""), QStringLiteral(" 1"));
        QCOMPARE(f.store.read("Config", "StateFilterIt", ""), QStringLiteral("DTX"));
        QCOMPARE(f.store.read("Config", "InactivityDelay", ""), QStringLiteral("5"));
        QCOMPARE(f.store.read("Config", "PurgeVal", ""), QStringLiteral(" 1"));
        QCOMPARE(f.store.read("Config", "NetworkMode", ""), QStringLiteral("True"));
        QCOMPARE(f.store.read("Config", "TransferPath", ""), f.programDir + "track/transfer/");
        // Save registered the mail server.
        QVERIFY(f.launcher.commandLines.value(0).startsWith(f.programDir + "blat -install \""));
        QVERIFY(f.launcher.commandLines.value(0).endsWith(" 3 25"));
    }
    void configuredStartSucceeds()
    {
        Fixture f;
        f.configured();
        // Alarm mail bodies: the one older than a day goes, today's stays.
        const auto body = [&f](const char* name, qint64 ageSeconds) {
            QFile file(f.home.write(QStringLiteral("prog/") + QLatin1String(name), "body\r\n"));
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(f.clock.current.addSecs(-ageSeconds),
                                     QFileDevice::FileModificationTime));
        };
        body("output55.txt", 2 * 86400);
        body("output56.txt", 3600);
        QVERIFY(f.run());
        QVERIFY(!QFileInfo::exists(f.programDir + QStringLiteral("output55.txt")));
        QVERIFY(QFileInfo::exists(f.programDir + QStringLiteral("output56.txt")));
        QVERIFY(f.prompter.questions.isEmpty());
        QVERIFY(!f.host.calls.contains("config"));
        QVERIFY(f.host.calls.contains("definitions"));
        QCOMPARE(f.host.calls.first(), QStringLiteral("size 10845 7725"));
        QVERIFY(!f.host.suspendPageVisible);
        QCOMPARE(f.state->newProducts.entries(), QStringList(5, "none"));
        QVERIFY(f.state->tables.zoneCount() > 3000);
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup Successful"));
    }
    void missingRequiredFileFails()
    {
        Fixture f;
        f.configured();
        QFile::remove(f.programDir + "county-prod.txt");
        QVERIFY(!f.run());
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup FAILED"));
        QVERIFY(f.state->display.text().startsWith(
            QStringLiteral("MAIN: Form - Load\nError: 53\nPossible Causes: File not found")));
        QVERIFY(f.state->display.text().endsWith(QStringLiteral("\nFile: county-prod.txt")));
        QVERIFY(f.host.calls.contains("display"));
        QVERIFY(!f.state->poller().isRunning());
    }
    void brokenTableFileReportsFile()
    {
        Fixture f;
        f.configured();
        QFile::resize(f.programDir + "dictionary.vantorel.txt", 0);
        QVERIFY(!f.run());
        QVERIFY(f.state->display.text().contains(QStringLiteral("Error: 62")));
        QVERIFY(f.state->display.text().endsWith(QStringLiteral("File: dictionary.vantorel.txt")));
    }
    void unusableArchivePathIsPassedOver()
    {
        Fixture f;
        f.configured();
        f.home.write("blocker", "x");
        f.store.write("Config", "ArchivePath", f.home.file("blocker/archive/"));
        QVERIFY(f.run()); // failures to create directories are passed over
    }
    void badStrictSettingFails()
    {
        Fixture f;
        f.configured("MetarDL", "yes");
        QVERIFY(!f.run());
        QVERIFY(f.state->display.text().contains(QStringLiteral("Error: 13")));
        QVERIFY(f.state->display.text().contains(QStringLiteral("MetarDL")));
    }
    void standaloneWithoutEngineFails()
    {
        Fixture f;
        f.store.write("Config", "TextPath", f.home.path() + "/text/");
        f.launcher.result = 0; // the engine program cannot be started
        QVERIFY(!f.run());
        QVERIFY(f.state->display.text().contains(QStringLiteral("Error: 53")));
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup FAILED"));
    }
    void abcPagerInstalled()
    {
        Fixture f;
        f.configured();
        f.programsFound << QStringLiteral("abcPager");
        // No users.ini in its directory: start-up goes on regardless.
        QVERIFY(f.run());
        QVERIFY(f.host.suspendPageVisible);
        QVERIFY(f.state->pager().available());
    }
    void configSaveRules()
    {
        Fixture f;
        f.configured();
        QVERIFY(f.run());
        ConfigModel model(*f.state);
        ConfigFields fields = model.load();
        QCOMPARE(model.save(fields), ConfigModel::SaveResult::Saved);
        QVERIFY(f.prompter.messages.isEmpty());
        // A change of letter case in the Data-In path asks for a restart.
        fields.dataIn = fields.dataIn.toUpper();
        QCOMPARE(model.save(fields), ConfigModel::SaveResult::RestartNeeded);
        QCOMPARE(f.prompter.messages.last().text,
                 QStringLiteral("Shut down Vantorel and restart."));
        // An empty METAR list is stored as K---.
        fields.metarIds.clear();
        fields.purge = false;
        model.save(fields);
        QCOMPARE(f.store.read("Config", "Metar", ""), QStringLiteral("K---"));
        QCOMPARE(f.store.read("Config", "PurgeVal", ""), QStringLiteral(" 1"));
        // A relative plotting directory is refused with a message.
        bool found = true;
        QVERIFY(model.validateWxPlot(QStringLiteral("wxplot"), &found).isEmpty());
        QVERIFY(!found);
        f.home.write("wx/bin/wish80", "");
        QCOMPARE(model.validateWxPlot(f.home.file("wx"), &found), f.home.file("wx/"));
        QVERIFY(found);
        // Address book entries: Set stores, Enter keeps it for this run only.
        model.setEmailEntry(2, QStringLiteral("ops@example.org"), true);
        QCOMPARE(f.store.read("Config", "EMail2", ""), QStringLiteral("ops@example.org"));
        model.setEmailEntry(3, QStringLiteral("temp@example.org"), false);
        QCOMPARE(model.emailEntry(3), QStringLiteral("temp@example.org"));
        QVERIFY(!f.store.contains("Config", "EMail3"));
    }
    // An error after the tables were read (here the engine program is missing) is
    // not handled by the name of the last table file.
    void laterErrorIsNotTakenForATableFile_data()
    {
        QTest::addColumn<bool>("pager");
        QTest::newRow("abcPager installed") << true;
        QTest::newRow("without abcPager") << false;
    }
    void laterErrorIsNotTakenForATableFile()
    {
        QFETCH(bool, pager);
        Fixture f;
        f.store.write("Config", "TextPath", f.home.path() + "/text/"); // Standalone
        if (pager)
            f.programsFound << QStringLiteral("abcPager");
        f.launcher.result = 0; // the engine program cannot be started
        QVERIFY(!f.run());
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup FAILED"));
        const QString report = f.state->display.text();
        QVERIFY2(report.startsWith(QStringLiteral("MAIN: Form - Load\nError: 53")),
                 qPrintable(report));
        QVERIFY2(report.endsWith(QStringLiteral("\nFile: ")), qPrintable(report));
        QVERIFY(!f.state->poller().isRunning());
    }
    // The first-run dialog offers the mode the installed engines suggest; left
    // with Exit, the mode it showed (or the one clicked) is stored.
    void firstRunModeIsStored_data()
    {
        QTest::addColumn<QStringList>("engines"); // engine programs installed
        QTest::addColumn<int>("clicked");         // mode chosen in the dialog, -1 none
        QTest::addColumn<int>("shown");           // the dialog's mode option
        QTest::addColumn<QString>("network");
        QTest::addColumn<QString>("internet");
        QTest::newRow("no engine: Network") << QStringList{} << -1 << 2 << "True"
                                            << "False";
        QTest::newRow("broadcast engine: Standalone")
            << QStringList{"VTIngest"} << -1 << 0 << "False"
            << "False";
        QTest::newRow("Internet engine: Internet Feed")
            << QStringList{"Engine"} << -1 << 1 << "False"
            << "True";
        QTest::newRow("both engines: Internet Feed")
            << QStringList{"VTIngest", "Engine"} << -1 << 1 << "False"
            << "True";
        QTest::newRow("Internet Feed chosen") << QStringList{} << 1 << 2 << "False"
                                              << "True";
    }
    void firstRunModeIsStored()
    {
        QFETCH(QStringList, engines);
        QFETCH(int, clicked);
        Fixture f;
        f.programsFound = engines;
        f.prompter.answers << IPrompter::Answer::No;
        int shown = -1;
        f.host.onModal = [&] {
            ConfigModel model(*f.state);
            ConfigFields fields = model.load();
            shown = fields.mode;
            if (clicked >= 0)
                model.modeClicked(clicked, fields); // applies at once; then Exit
        };
        f.run();
        QTEST(shown, "shown");
        QTEST(f.store.read("Config", "NetworkMode", "(none)"), "network");
        QTEST(f.store.read("Config", "WeathernodeMode", "(none)"), "internet");
    }
    void unusableDataInStopsStartup_data()
    {
        QTest::addColumn<QString>("dataIn"); // below the test home
        QTest::newRow("below a file") << "blocker/transfer/";
        QTest::newRow("a file") << "blocker/";
    }
    void unusableDataInStopsStartup()
    {
        QFETCH(QString, dataIn);
        Fixture f;
        f.configured("TransferPath", f.home.file(dataIn));
        f.home.write("blocker", "not a directory");
        QVERIFY(!f.run());
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text,
                 QStringLiteral("Configure the Data-In path and restart Vantorel."));
        QCOMPARE(f.state->status.text(), QStringLiteral("Startup FAILED"));
        QVERIFY(!f.state->poller().isRunning());
    }
    void inactivityMinutesAreChecked_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("valid");
        QTest::newRow("in range") << " 5 " << true;
        QTest::newRow("largest") << "255" << true;
        QTest::newRow("too large") << "300" << false;
        QTest::newRow("negative") << "-1" << false;
        QTest::newRow("not a number") << "5x" << false;
        QTest::newRow("empty") << "" << false;
    }
    // Leaving the field with a value the setting cannot hold is refused at once,
    // and Save refuses it too, so that the store never holds it.
    void inactivityMinutesAreChecked()
    {
        QFETCH(QString, typed);
        QFETCH(bool, valid);
        Fixture f;
        f.configured("InactivityDelay", "7");
        QVERIFY(f.run());
        ConfigModel model(*f.state);
        QCOMPARE(model.validateDelay(typed), valid ? typed.trimmed() : QStringLiteral("7"));
        QCOMPARE(f.prompter.messages.size(), valid ? 0 : 1);
        ConfigFields fields = model.load();
        fields.delay = typed;
        QCOMPARE(model.save(fields),
                 valid ? ConfigModel::SaveResult::Saved : ConfigModel::SaveResult::Invalid);
        QCOMPARE(f.store.read("Config", "InactivityDelay", ""),
                 valid ? typed.trimmed() : QStringLiteral("7"));
        QCOMPARE(int(f.state->settings.InactivityDelay), valid ? typed.toInt() : 7);
    }
    void badAlarmLinesAreSkipped()
    {
        // A bad value or a line beyond the table does not stop start-up (and with
        // it the polling): the line is skipped and named once, the rest is kept.
        Fixture f;
        f.configured();
        QByteArray text = "\"TORGRR\",1,0,0,1,-1,-1,-1,0,\"\",0,0,0,0\r\n"
                          "\"SVRGRR\",yes\r\n";
        for (int i = 0; i < 1000; ++i)
            text += "\"FFWGRR\",1\r\n";
        f.home.write("prog/alarm-v15.cfg", text);
        QVERIFY(f.run());
        QVERIFY(f.state->poller().isRunning());
        QCOMPARE(f.state->alarms.definitions().size(), 1000);
        QCOMPARE(f.state->alarms.definitions().at(1).pattern, QStringLiteral("FFWGRR"));
        const QString shown = f.state->display.text();
        QVERIFY2(shown.contains(QStringLiteral("alarm-v15.cfg line 2")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("\"SVRGRR\",yes")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("alarm-v15.cfg line 1002")), qPrintable(shown));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
