#include "FakeSoundOutput.h"
#include "TestSupport.h"
#include "alarms/AlarmSound.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QString kSound = QStringLiteral("/snd/alert1.wav");
const QString kWords = QStringLiteral("/tmp/speech-0.wav");

struct Fixture
{
    TestHome home;
    Settings settings;
    MenuDefinitions menus;
    FakeSoundOutput output;
    AlarmSound sound{settings, menus};

    Fixture() { sound.setOutput(&output); }
    Fixture(qint16 limitAudio, qint16 limitOne) : Fixture()
    {
        settings.LimitAudio = limitAudio;
        settings.LimitOneAudio = limitOne;
    }
    int spoken() const { return static_cast<int>(output.played.count(kWords)); }
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
            sound.repeatSound();
    }
};
} // namespace

class TestAlarmSound : public QObject
{
    Q_OBJECT
private slots:
    void limits_data()
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
        QTest::newRow("beep, minutes count for files only")
            << -1 << 0 << 2 << "BEEP" << 302 << false;
        QTest::newRow("beep, once") << 0 << -1 << 0 << "BEEP" << 2 << false;
    }
    void limits()
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
        const int made =
            location == QLatin1String("BEEP") ? f.output.beeps : f.output.played.size();
        QCOMPARE(made, sounds);
        QCOMPARE(f.sound.running(), stillRunning);
        QCOMPARE(f.sound.tmrFlash().isActive(), stillRunning);
    }
    void newAlarmReplacesOld()
    {
        Fixture f;
        f.sound.PlayAudio(QStringLiteral("BEEP"));
        f.runTicks(5);
        f.sound.PlayAudio(QStringLiteral("/p/alert2.wav"));
        QCOMPARE(f.sound.ticks(), 1);
        QCOMPARE(f.sound.tag(), QString());
        QCOMPARE(f.sound.tmrFlash().interval(), 10000);
        f.sound.repeatSound();
        QCOMPARE(f.output.played, QStringList({"/p/alert2.wav", "/p/alert2.wav"}));
        QCOMPARE(f.output.beeps, 7); // start and five ticks of the beep alarm
    }
    void muteStopsAndCloses()
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
    // Spoken words follow each tick's sound within the limits of the sound.
    // ticks: further ticks of the sound after the words were set.
    void speechFollowsTheSound_data()
    {
        QTest::addColumn<qint16>("limitAudio");
        QTest::addColumn<qint16>("limitOne");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("spoken");
        QTest::newRow("unlimited: after every tick") << qint16(0) << qint16(0) << 3 << 4;
        QTest::newRow("once: spoken once") << qint16(0) << qint16(-1) << 3 << 1;
        QTest::newRow("restrict: not after the limit")
            << qint16(-1) << qint16(0) << AlarmSound::FileLimit + 5 << AlarmSound::FileLimit;
    }
    void speechFollowsTheSound()
    {
        QFETCH(qint16, limitAudio);
        QFETCH(qint16, limitOne);
        QFETCH(int, ticks);
        Fixture f(limitAudio, limitOne);
        f.sound.PlayAudio(kSound);
        f.sound.setSpeech(f.sound.generation(), kWords, 0, 100);
        QTRY_COMPARE(f.spoken(), 1);
        QCOMPARE(f.output.played.last(), kWords); // after the sound
        for (int i = 0; i < ticks; ++i) {
            if (!f.sound.tmrFlash().isActive())
                break;
            f.sound.repeatSound();
            QTRY_VERIFY(!f.sound.speechTimer().isActive());
        }
        QTEST(f.spoken(), "spoken");
    }
    void muteStopsTheWords()
    {
        Fixture f(0, 0);
        f.sound.PlayAudio(kSound);
        f.sound.setSpeech(f.sound.generation(), kWords, 0, 100);
        QVERIFY(f.sound.speechTimer().isActive());
        const quint64 before = f.sound.generation();
        f.sound.mute();
        QVERIFY(!f.sound.speechTimer().isActive());
        // Words made for the muted alarm arrive late: not played.
        f.sound.setSpeech(before, kWords, 0, 100);
        QVERIFY(!f.sound.speechTimer().isActive());
        QCOMPARE(f.spoken(), 0);
    }
    // Words made for an alarm whose sound was replaced by a newer one.
    void replacedSoundKeepsItsOwnWords()
    {
        Fixture f(0, 0);
        f.sound.PlayAudio(kSound);
        const quint64 first = f.sound.generation();
        f.sound.PlayAudio(QStringLiteral("/snd/alert2.wav"));
        f.sound.setSpeech(first, kWords, 0, 100);
        QVERIFY(!f.sound.speechTimer().isActive());
    }
    // Beeps come every second: the words are not restarted while spoken.
    void beepsWaitForTheWords()
    {
        Fixture f(0, 0);
        f.sound.PlayAudio(AlarmSound::Beep);
        f.sound.setSpeech(f.sound.generation(), kWords, 0, 60000);
        QTRY_COMPARE(f.spoken(), 1);
        f.sound.repeatSound();
        QVERIFY(!f.sound.speechTimer().isActive());
    }
};

QTEST_GUILESS_MAIN(TestAlarmSound)
#include "tst_alarmsound.moc"
