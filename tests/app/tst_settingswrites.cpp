#include "TestSupport.h"
#include "app/ConfigModel.h"
#include "app/MainState.h"
#include "app/ShutdownSequence.h"
#include "display/SaveFile.h"
#include "ingest/EngineControl.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTest>

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
struct Fixture
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

    explicit Fixture(bool canWrite)
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

class TestSettingsWrites : public QObject
{
    Q_OBJECT
private slots:
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
        Fixture f(writable);
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

QTEST_GUILESS_MAIN(TestSettingsWrites)
#include "tst_settingswrites.moc"
