#include "FakeSoundOutput.h"
#include "TestSupport.h"
#include "alarms/AlarmSound.h"

#include <QSignalSpy>
#include <QTest>

namespace {
struct Fixture
{
    TestHome home;
    Settings settings;
    MenuDefinitions menus;
    FakeSoundOutput output;
    AlarmSound sound{settings, menus};

    Fixture() { sound.setOutput(&output); }
    void restrictMinutes(int minutes)
    {
        const QString path = home.write(QStringLiteral("menu.txt"),
                                        "[NUMBER OF MINUTES TO PLAY RESTRICTED AUDIO ALARMS]\r\n" +
                                            QByteArray::number(minutes) + "\r\n");
        menus.loadMainMenu(path);
    }
    // Ticks while the sound runs, at most max ticks after the start.
    void runTicks(int max)
    {
        for (int i = 0; i < max && sound.running(); ++i)
            sound.tick();
    }
};
} // namespace

class TestAlarmSound : public QObject
{
    Q_OBJECT
private slots:
    void limits_data();
    void limits();
    void timerSettings_data();
    void timerSettings();
    void newAlarmReplacesOld();
    void muteStopsAndCloses();
};

void TestAlarmSound::limits_data()
{
    QTest::addColumn<int>("limitAudio"); // -1 on, anything else off
    QTest::addColumn<int>("limitOne");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("sounds"); // files played or beeps, start included
    QTest::addColumn<bool>("stillRunning");
    const QString file = QStringLiteral("/p/alert3.wav");
    QTest::newRow("file, no limit") << 1 << 0 << 0 << file << 501 << true;
    QTest::newRow("file, restricted") << -1 << 0 << 0 << file << 25 << false;
    QTest::newRow("file, restricted to 2 minutes") << -1 << 0 << 2 << file << 13 << false;
    QTest::newRow("file, once") << 1 << -1 << 0 << file << 1 << false;
    QTest::newRow("file, once and restricted") << -1 << -1 << 0 << file << 1 << false;
    QTest::newRow("beep, no limit") << 0 << 0 << 0 << "BEEP" << 1002 << true;
    QTest::newRow("beep, restricted") << -1 << 0 << 0 << "BEEP" << 302 << false;
    QTest::newRow("beep, minutes count for files only") << -1 << 0 << 2 << "BEEP" << 302 << false;
    QTest::newRow("beep, once") << 0 << -1 << 0 << "BEEP" << 2 << false;
}

void TestAlarmSound::limits()
{
    QFETCH(int, limitAudio);
    QFETCH(int, limitOne);
    QFETCH(int, minutes);
    QFETCH(QString, location);
    QFETCH(int, sounds);
    QFETCH(bool, stillRunning);
    Fixture f;
    f.settings.LimitAudio = static_cast<qint16>(limitAudio);
    f.settings.LimitOneAudio = static_cast<qint16>(limitOne);
    f.restrictMinutes(minutes);
    f.sound.PlayAudio(location);
    f.runTicks(location == QLatin1String("BEEP") ? 1000 : 500);
    const int made = location == QLatin1String("BEEP") ? f.output.beeps : f.output.played.size();
    QCOMPARE(made, sounds);
    QCOMPARE(f.sound.running(), stillRunning);
    QCOMPARE(f.sound.tmrFlash().isActive(), stillRunning);
}

void TestAlarmSound::timerSettings_data()
{
    QTest::addColumn<QString>("location");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("tag");
    QTest::newRow("sound file") << "/p/alert1.wav" << 10000 << "";
    QTest::newRow("beep") << "BEEP" << 1000 << "BEEP";
}

void TestAlarmSound::timerSettings()
{
    QFETCH(QString, location);
    QFETCH(int, interval);
    QFETCH(QString, tag);
    Fixture f;
    QSignalSpy running(&f.sound, &AlarmSound::runningChanged);
    f.sound.PlayAudio(location);
    QCOMPARE(f.sound.tmrFlash().interval(), interval);
    QCOMPARE(f.sound.tag(), tag);
    QCOMPARE(f.sound.ticks(), 1); // one tick at once
    QCOMPARE(running.size(), 1);
    QCOMPARE(running.first().first().toBool(), true);
}

void TestAlarmSound::newAlarmReplacesOld()
{
    Fixture f;
    f.sound.PlayAudio(QStringLiteral("BEEP"));
    f.runTicks(5);
    f.sound.PlayAudio(QStringLiteral("/p/alert2.wav"));
    QCOMPARE(f.sound.ticks(), 1);
    QCOMPARE(f.sound.tag(), QString());
    QCOMPARE(f.sound.tmrFlash().interval(), 10000);
    f.sound.tick();
    QCOMPARE(f.output.played, QStringList({"/p/alert2.wav", "/p/alert2.wav"}));
    QCOMPARE(f.output.beeps, 7); // start and five ticks of the beep alarm
}

void TestAlarmSound::muteStopsAndCloses()
{
    Fixture f;
    f.sound.PlayAudio(QStringLiteral("/p/alert1.wav"));
    QSignalSpy running(&f.sound, &AlarmSound::runningChanged);
    f.sound.mute();
    QVERIFY(!f.sound.running());
    QVERIFY(!f.sound.tmrFlash().isActive());
    QCOMPARE(f.output.closes, 1);
    QCOMPARE(running.size(), 1);
    // Muting again changes nothing visible.
    f.sound.mute();
    QCOMPARE(running.size(), 1);
    // Without an output the counting goes on silently.
    f.sound.setOutput(nullptr);
    f.sound.PlayAudio(QStringLiteral("BEEP"));
    QCOMPARE(f.sound.ticks(), 1);
}

QTEST_GUILESS_MAIN(TestAlarmSound)
#include "tst_alarmsound.moc"
