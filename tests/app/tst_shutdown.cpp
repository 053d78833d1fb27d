// Shutdown: its steps in order and once, the engines told first; settings
// that cannot be written are reported, never taken for saved.

#include "TestSupport.h"
#include "app/ConfigModel.h"
#include "app/MainState.h"
#include "app/ShutdownSequence.h"
#include "display/SaveFile.h"
#include "ingest/EngineControl.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
// Records what shutdown asked of the window, in order.
class RecordingHost : public IShutdownHost
{
public:
    std::optional<std::pair<double, double>> windowSizeTwips() const override { return size; }
    void processEvents() override { calls << QStringLiteral("events"); }
    void hideTrayIcon() override { calls << QStringLiteral("tray"); }
    void closeDialogs() override { calls << QStringLiteral("dialogs"); }

    std::optional<std::pair<double, double>> size = std::make_pair(12000.0, 9000.0);
    QStringList calls;
};

struct Fixture : CoreFixture
{
    RecordingHost host;
    EngineControl engine{programDir, launcher, windows, status};
    ShutdownSequence shutdown{programDir, settings, store, engine, host, prompter};

    Fixture()
    {
        windows.windows.insert(EngineControl::BroadcastTitle, 7);
        windows.windows.insert(EngineControl::InternetConnectedTitle, 9);
        for (const char* name : {"output.txt", "output3.txt", "outputs.txt", "other.txt"})
            home.write(QStringLiteral("prog/") + QLatin1String(name), "body");
    }
    QString stored(const char* section, const char* key) const
    {
        return store.read(QLatin1String(section), QLatin1String(key), QStringLiteral("(none)"));
    }
};
} // namespace

namespace {
class QuietHost : public IShutdownHost
{
public:
    std::optional<std::pair<double, double>> windowSizeTwips() const override
    {
        return std::make_pair(12000.0, 9000.0);
    }
    void processEvents() override {}
    void hideTrayIcon() override {}
    void closeDialogs() override {}
};

// The whole program over a private home whose settings file lies where it
// can or cannot be written (below a plain file, which no user can write to).
struct ProgramFixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    bool writable;
    SettingsStore store;
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    MainState state{programDir,
                    MainState::Services{&store, &launcher, &windows, &prompter, &clock}};

    explicit ProgramFixture(bool canWrite)
        : writable(canWrite),
          store(home.file(canWrite ? QStringLiteral(".config/Vantorel-v15.conf")
                                   : QStringLiteral("blocker/Vantorel-v15.conf")))
    {
        home.write(QStringLiteral("blocker"), "a file, not a directory");
        QDir().mkpath(programDir);
        state.settings.TextPath = home.path() + QStringLiteral("/text/");
        state.settings.TransferPath = home.path() + QStringLiteral("/in/");
        home.write(QStringLiteral("text/AFDGRR   ~KGRR~MI"), "AFD TEXT");
    }
    int failureReports() const
    {
        int n = 0;
        for (const auto& m : prompter.messages)
            n += m.text.contains(store.writeFailure()) ? 1 : 0;
        return n;
    }
};
} // namespace

class TestShutdown : public QObject
{
    Q_OBJECT
private slots:
    void stepsInOrder_data()
    {
        QTest::addColumn<bool>("minimised");
        QTest::addColumn<bool>("hideIngest");
        QTest::newRow("normal window") << false << false;
        QTest::newRow("minimised, engines hidden") << true << true;
    }
    void stepsInOrder()
    {
        QFETCH(bool, minimised);
        QFETCH(bool, hideIngest);
        Fixture f;
        if (minimised)
            f.host.size.reset();
        f.engine.setHideIngestChecked(hideIngest);
        f.settings.ImageShowing = QStringLiteral("RADGRRMI");
        QVERIFY(f.shutdown.windowClosing());

        QCOMPARE(f.stored("Startup", "Width"), minimised ? "(none)" : " 12000");
        QCOMPARE(f.stored("Startup", "Height"), minimised ? "(none)" : " 9000");
        QCOMPARE(f.stored("Startup", "HideIngest"), hideIngest ? "True" : "False");
        QCOMPARE(f.stored("Config", "ImageShowing"), "RADGRRMI");
        // Both engine windows are shown again, then the window finishes up.
        QCOMPARE(f.windows.actions, QStringList({"restore 9", "restore 7"}));
        QCOMPARE(f.host.calls, QStringList({"events", "tray", "dialogs"}));
        // This run's mail bodies go; other files stay.
        for (const char* gone : {"output.txt", "output3.txt", "outputs.txt"})
            QVERIFY2(!QFile::exists(f.programDir + QLatin1String(gone)), gone);
        QVERIFY(QFile::exists(f.programDir + QStringLiteral("other.txt")));
    }
    void runsOnce()
    {
        Fixture f;
        f.shutdown.windowClosing();
        f.host.size = std::make_pair(1.0, 1.0);
        f.shutdown.windowClosing();
        QCOMPARE(f.stored("Startup", "Width"), QStringLiteral(" 12000"));
        QCOMPARE(f.host.calls.size(), 3);
        QVERIFY(f.shutdown.done());
    }
    void exitTellsEnginesFirst()
    {
        Fixture f;
        QStringList commands;
        QObject::connect(&f.engine, &EngineControl::netLinkChanged,
                         [&](const QString& text) { commands << text; });
        f.shutdown.exitFromMenu();
        QCOMPARE(commands, QStringList({"SHUTDOWN"}));
        QVERIFY(!f.shutdown.done());
    }

    void unwritableSettingsAreReported_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<bool>("writable");
        for (const char* writer : {"configuration save", "shutdown", "save file"}) {
            QTest::addRow("%s, writable", writer) << QString::fromLatin1(writer) << true;
            QTest::addRow("%s, not writable", writer) << QString::fromLatin1(writer) << false;
        }
    }
    void unwritableSettingsAreReported()
    {
        QFETCH(QString, writer);
        QFETCH(bool, writable);
        ProgramFixture f(writable);
        bool succeeded = false;
        if (writer == QLatin1String("configuration save")) {
            ConfigModel model(f.state);
            ConfigFields fields = model.load();
            fields.delay = QStringLiteral("5");
            const ConfigModel::SaveResult result = model.save(fields);
            // Not written: the dialog stays open; the values apply for this run.
            succeeded = result == ConfigModel::SaveResult::Saved ||
                        result == ConfigModel::SaveResult::RestartNeeded;
            QCOMPARE(int(f.state.settings.InactivityDelay), 5);
        } else if (writer == QLatin1String("shutdown")) {
            QuietHost host;
            ShutdownSequence shutdown(f.programDir, f.state.settings, f.store, f.state.engine(),
                                      host, f.prompter);
            succeeded = shutdown.windowClosing();
        } else {
            f.state.display.setDisplay(QStringLiteral("AFD TEXT"),
                                       QStringLiteral("AFDGRR   ~KGRR~MI"));
            SaveFile save(f.state.display, f.state.settings, f.store, f.prompter);
            const QString target = f.home.file(QStringLiteral("saved/afd.txt"));
            QDir().mkpath(QFileInfo(target).absolutePath());
            QVERIFY(save.saveReporting(target)); // the bulletin itself is saved either way
            QCOMPARE(readBytes(target), QByteArray("AFD TEXT"));
            succeeded = f.failureReports() == 0;
        }
        QCOMPARE(succeeded, writable);
        QCOMPARE(f.failureReports(), writable ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
