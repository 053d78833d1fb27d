// Spoken words after the alarm sound: they follow each tick's sound, keep to
// the limits of the sound ("Once", Restrict) and stop at once on mute.
#include "FakeSoundOutput.h"
#include "TestSupport.h"
#include "alarms/AlarmSound.h"

#include <QTest>

namespace {
const QString kSound = QStringLiteral("/snd/alert1.wav");
const QString kWords = QStringLiteral("/tmp/speech-0.wav");

struct Fixture
{
    Settings settings;
    MenuDefinitions menus;
    FakeSoundOutput output;
    AlarmSound sound{settings, menus};

    Fixture(qint16 limitAudio, qint16 limitOne)
    {
        settings.LimitAudio = limitAudio;
        settings.LimitOneAudio = limitOne;
        sound.setOutput(&output);
    }
    int spoken() const { return static_cast<int>(output.played.count(kWords)); }
};
} // namespace

class TestAlarmSpeech : public QObject
{
    Q_OBJECT
private slots:
    // ticks: further ticks of the sound after the words were set.
    void followsTheSound_data()
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

    void followsTheSound()
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

QTEST_GUILESS_MAIN(TestAlarmSpeech)
#include "tst_alarmspeech.moc"
