// Spoken words: espeak-ng's audio for a sentence, measured from its header
// and by sox, and the command line it is given.
#include "TestSupport.h"
#include "notify/SpeechSynth.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {
QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}
// A WAV file: format tag, byte rate, declared data size and data bytes held.
QByteArray wav(quint16 format, quint32 byteRate, quint32 declared, int held)
{
    QByteArray fmt =
        le16(format) + le16(1) + le32(byteRate / 2) + le32(byteRate) + le16(2) + le16(16);
    return "RIFF" + le32(36 + held) + "WAVE" + "fmt " + le32(16) + fmt + "data" + le32(declared) +
           QByteArray(held, '\0');
}
} // namespace

class TestSpeechSynth : public QObject
{
    Q_OBJECT
private slots:
    void duration_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("ms"); // -1: not a PCM WAV file
        QTest::newRow("one second") << wav(1, 44100, 44100, 44100) << 1000;
        QTest::newRow("size left open") << wav(1, 44100, 0xFFFFFFFF, 22050) << 500;
        QTest::newRow("declared more than held") << wav(1, 44100, 441000, 4410) << 100;
        QTest::newRow("not PCM") << wav(3, 44100, 44100, 44100) << -1;
        QTest::newRow("no byte rate") << wav(1, 0, 100, 100) << -1;
        QTest::newRow("not RIFF") << QByteArray("ID3\x03 some audio") << -1;
        QTest::newRow("cut in the header") << wav(1, 44100, 10, 10).left(30) << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }

    void duration()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.wav"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QTEST(SpeechSynth::wavDurationMs(path).value_or(-1), "ms");
    }

    void arguments_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("expected"); // voice and rate given
        QTest::newRow("plain") << "en-us" << 160 << "en-us 160";
        QTest::newRow("variant") << "en+f3" << 175 << "en+f3 175";
        QTest::newRow("option smuggled") << "--stdout" << 160 << "en-us 160";
        QTest::newRow("blanks and quotes") << "en us'; rm" << 160 << "enusrm 160";
        QTest::newRow("too slow") << "en" << 1 << "en 80";
        QTest::newRow("too fast") << "en" << 9999 << "en 450";
    }

    void arguments()
    {
        QFETCH(QString, voice);
        QFETCH(int, rate);
        const QStringList args = SpeechSynth::arguments(voice, rate, QStringLiteral("/x.wav"));
        QTEST(args.at(1) + QLatin1Char(' ') + args.at(3), "expected");
        QVERIFY(args.contains(QStringLiteral("--stdin")));
    }

    // The sentence of the tornado warning: audio of a plausible length, the
    // same by the header as by sox.
    void speaksTheSentence()
    {
        if (QStandardPaths::findExecutable(SpeechSynth::Program).isEmpty())
            QSKIP("espeak-ng is not installed");
        SpeechSynth synth;
        QSignalSpy ready(&synth, &SpeechSynth::ready);
        QSignalSpy failed(&synth, &SpeechSynth::failed);
        const QString sentence =
            QStringLiteral("Tornado warning for Forrest, Lamar and Marion counties until 1:15 PM.");
        synth.synthesize(sentence, 7);
        QTRY_VERIFY_WITH_TIMEOUT(!ready.isEmpty() || !failed.isEmpty(), SpeechSynth::TimeoutMs);
        QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(1).toString()));
        QCOMPARE(ready.first().at(0).toULongLong(), 7u);
        const QString path = ready.first().at(1).toString();
        const int ms = ready.first().at(2).toInt();
        // Eleven words at 160 a minute, with pauses: a few seconds.
        QVERIFY2(ms > 2500 && ms < 10000, qPrintable(QString::number(ms)));
        qInfo("\"%s\": %d ms", qPrintable(sentence), ms);
        if (QStandardPaths::findExecutable(QStringLiteral("soxi")).isEmpty())
            return;
        QProcess soxi;
        soxi.start(QStringLiteral("soxi"), {QStringLiteral("-D"), path});
        QVERIFY(soxi.waitForFinished(10000));
        const double seconds = soxi.readAllStandardOutput().trimmed().toDouble();
        QVERIFY2(qAbs(seconds * 1000 - ms) < 20, qPrintable(QString::number(seconds)));
    }

    void missingVoiceIsReported()
    {
        if (QStandardPaths::findExecutable(SpeechSynth::Program).isEmpty())
            QSKIP("espeak-ng is not installed");
        SpeechSynth synth;
        synth.setVoice(QStringLiteral("xx-nosuchvoice"));
        QSignalSpy failed(&synth, &SpeechSynth::failed);
        synth.synthesize(QStringLiteral("Test."), 1);
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, SpeechSynth::TimeoutMs);
    }
};

QTEST_GUILESS_MAIN(TestSpeechSynth)
#include "tst_speechsynth.moc"
