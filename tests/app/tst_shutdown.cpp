#include "TestSupport.h"
#include "app/ShutdownSequence.h"
#include "ingest/EngineControl.h"

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
};

QTEST_GUILESS_MAIN(TestShutdown)
#include "tst_shutdown.moc"
