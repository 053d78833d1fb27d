#include "TestSupport.h"
#include "alarms/ui/QtSoundOutput.h"

#include <QTest>

class TestAlarmSoundOutput : public QObject
{
    Q_OBJECT
private slots:
    void reportsOnceWhatCannotPlay()
    {
        TestHome home;
        StatusLine status;
        QtSoundOutput output(status);
        const QString sound = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/alert1.wav");
        if (!output.hasDevice()) {
            // Without a sound device: one note, then silence.
            output.play(sound);
            QCOMPARE(status.text(), QtSoundOutput::NoDevice);
            status.setText(QStringLiteral("Received TORGRR"));
            output.play(sound);
            QCOMPARE(status.text(), QStringLiteral("Received TORGRR"));
            output.beep();
            output.close();
            return;
        }
        output.play(home.file(QStringLiteral("alert7.wav")));
        QVERIFY(status.text().startsWith(QStringLiteral("Sound file not found: ")));
        status.setText(QString());
        output.play(home.file(QStringLiteral("alert7.wav")));
        QVERIFY(status.text().isEmpty());
        output.play(sound);
        output.close();
    }
};

QTEST_MAIN(TestAlarmSoundOutput)
#include "tst_alarmsoundoutput.moc"
