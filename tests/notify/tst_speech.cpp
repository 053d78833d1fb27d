// Speaking an alarm: its words over real products (event, places by name,
// end time in local time), and the synthesiser's audio for a sentence,
// measured from its header and by sox, and the command line it is given.
#include "TestSupport.h"
#include "notify/AlarmWords.h"
#include "notify/SpeechSynth.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {
QString sourceData(const char* name)
{
    return QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + QLatin1String(name);
}

QString corpus(const QString& name)
{
    return QString::fromLatin1(readBytes(testDataPath(QStringLiteral("corpus/products/") + name)));
}

QDateTime utc(const char* text)
{
    QDateTime t = QDateTime::fromString(QLatin1String(text), Qt::ISODate);
    t.setTimeZone(QTimeZone::utc());
    return t;
}
} // namespace

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

class TestSpeech : public QObject
{
    Q_OBJECT
    ReferenceTables m_tables;
    std::unique_ptr<AlarmWords> m_words;

private slots:
    void initTestCase()
    {
        m_tables.loadCounties(sourceData("fips63.txt"));
        m_tables.loadZones(sourceData("zonecode.csv"));
        const auto list = AlarmWords::readProductList(sourceData("product-list.txt"));
        QCOMPARE(list.value(QStringLiteral("AFD")), QStringLiteral("Area Forecast Discussion"));
        m_words = std::make_unique<AlarmWords>(m_tables, list);
    }

    void products_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("event");
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("until");
        QTest::addColumn<bool>("critical");
        QTest::addColumn<QString>("sentence");

        const QString chicago = QStringLiteral("America/Chicago");
        QTest::newRow("tornado, three counties")
            << "TORJANMS.TXT" << chicago << utc("2005-08-29T16:56:00") << "Tornado Warning"
            << "Forrest, Lamar and Marion counties, MS"
            << "1:15 PM CDT" << true
            << "Tornado warning for Forrest, Lamar and Marion counties until 1:15 PM.";
        QTest::newRow("tornado, one county")
            << "TORHGXTX.TXT" << chicago << utc("2019-09-19T11:45:00") << "Tornado Warning"
            << "Chambers County, TX"
            << "7:15 AM CDT" << true << "Tornado warning for Chambers County until 7:15 AM.";
        QTest::newRow("tornado seen from UTC+6: past midnight")
            << "TORJANMS.TXT" << QStringLiteral("Asia/Dhaka") << utc("2005-08-29T16:56:00")
            << "Tornado Warning"
            << "Forrest, Lamar and Marion counties, MS"
            << "12:15 AM +06 Tuesday" << true
            << "Tornado warning for Forrest, Lamar and Marion counties until 12:15 AM Tuesday.";
        QTest::newRow("severe thunderstorm ending after midnight UTC")
            << "SVRMEGTN.TXT" << chicago << utc("2024-04-08T23:25:00")
            << "Severe Thunderstorm Warning"
            << "Benton, Carroll and Henry counties, TN"
            << "7:00 PM CDT" << true
            << "Severe thunderstorm warning for Benton, Carroll and Henry counties until 7:00 PM.";
        QTest::newRow("two states, parishes")
            << "FFWLCHLA.TXT" << chicago << utc("2020-09-23T12:45:00") << "Flash Flood Warning"
            << "Beauregard, Calcasieu and Vernon parishes, LA; Newton County, TX"
            << "10:45 AM CDT" << true
            << "Flash flood warning for Beauregard, Calcasieu and Vernon parishes and Newton "
               "County until 10:45 AM.";
        QTest::newRow("snow squall, eastern time")
            << "SQWBTVVT.TXT" << QStringLiteral("America/New_York") << utc("2022-02-27T22:44:00")
            << "Snow Squall Warning"
            << "Rutland and Windsor counties, VT"
            << "6:30 PM EST" << true
            << "Snow squall warning for Rutland and Windsor counties until 6:30 PM.";
        QTest::newRow("advisory, many zones, next day")
            << "WSWGRRMI.TXT" << QStringLiteral("America/Detroit") << utc("2015-01-02T20:18:00")
            << "Winter Weather Advisory"
            << "Montcalm, Gratiot, Ottawa, Kent, Ionia, Clinton, Allegan, Barry, Eaton and "
               "Ingham, MI (+13 more)"
            << "7:00 PM EST Saturday" << false
            << "Winter weather advisory for Montcalm, Gratiot, Ottawa, Kent, Ionia, Clinton, "
               "Allegan, Barry, Eaton and Ingham and 13 more areas until 7:00 PM Saturday.";
        QTest::newRow("watch without end, county named once")
            << "FFAEKACA.TXT" << QStringLiteral("America/Los_Angeles") << utc("2014-12-10T12:00:00")
            << "Flood Watch"
            << "Mendocino and Humboldt counties, CA" << QString() << false
            << "Flood watch for Mendocino and Humboldt counties.";
        QTest::newRow("no VTEC: identifier and description")
            << "AFDBOXMA.TXT" << QStringLiteral("America/New_York") << QDateTime()
            << "AFDBOXMA: Area Forecast Discussion" << QString() << QString() << false
            << "Area forecast discussion.";
    }

    void products()
    {
        QFETCH(QString, file);
        QFETCH(QString, zone);
        QFETCH(QDateTime, now);
        const AlarmWords::Words w =
            m_words->describe(file, corpus(file), now, QTimeZone(zone.toLatin1()));
        QTEST(w.event, "event");
        QTEST(w.places, "places");
        QTEST(w.until, "until");
        QTEST(w.critical, "critical");
        QTEST(w.sentence(), "sentence");
    }

    void eventNames_data()
    {
        QTest::addColumn<QString>("vtec");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("critical");
        QTest::newRow("TO.A") << "TO.A"
                              << "Tornado Watch" << false;
        QTest::newRow("SV.W") << "SV.W"
                              << "Severe Thunderstorm Warning" << true;
        QTest::newRow("EW.W") << "EW.W"
                              << "Extreme Wind Warning" << true;
        QTest::newRow("FF.A") << "FF.A"
                              << "Flash Flood Watch" << false;
        QTest::newRow("FW.W") << "FW.W"
                              << "Red Flag Warning" << false;
        QTest::newRow("MA.W") << "MA.W"
                              << "Special Marine Warning" << false;
        QTest::newRow("WS.W") << "WS.W"
                              << "Winter Storm Warning" << false;
        QTest::newRow("unknown") << "QQ.W" << QString() << false;
        QTest::newRow("bad significance") << "TO.Q" << QString() << false;
    }

    void eventNames()
    {
        QFETCH(QString, vtec);
        const QString phenomenon = vtec.left(2);
        const QChar significance = vtec.at(3);
        QTEST(AlarmWords::eventName(phenomenon, significance), "name");
        QTEST(AlarmWords::isCritical(phenomenon, significance), "critical");
    }

    // Mail subjects and pages in words: only for texts with a VTEC event.
    void headline_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("line");
        QTest::newRow("warning") << "TORJANMS.TXT"
                                 << "Tornado Warning: Forrest, Lamar and Marion counties, MS "
                                    "until 1:15 PM CDT";
        QTest::newRow("no VTEC") << "AFDBOXMA.TXT" << QString();
    }

    void headline()
    {
        QFETCH(QString, file);
        const auto line = m_words->headline(corpus(file), QDateTime(),
                                            QTimeZone(QByteArrayLiteral("America/Chicago")));
        QTEST(line.value_or(QString()), "line");
    }

    // A cancelled warning is named with its action and is not urgent.
    void cancelledWarning()
    {
        QString text = corpus(QStringLiteral("TORJANMS.TXT"));
        text.replace(QStringLiteral("/O.NEW."), QStringLiteral("/O.CAN."));
        const AlarmWords::Words w =
            m_words->describe(QStringLiteral("TORJANMS.TXT"), text, {}, QTimeZone::utc());
        QCOMPARE(w.event, QStringLiteral("Tornado Warning cancelled"));
        QVERIFY(!w.critical);
        QVERIFY(w.until.isEmpty());
    }

    // The program's own zone is the system's: TZ decides the local time.
    void systemZoneFollowsTz()
    {
        const QByteArray saved = qgetenv("TZ");
        qputenv("TZ", "America/Denver");
        const AlarmWords::Words w = m_words->describe(QStringLiteral("TORJANMS.TXT"),
                                                      corpus(QStringLiteral("TORJANMS.TXT")), {},
                                                      QTimeZone::systemTimeZone());
        if (saved.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", saved);
        QCOMPARE(w.until, QStringLiteral("12:15 PM MDT"));
    }

    void unknownCodesAndWholeStates()
    {
        QCOMPARE(m_words->placeNames({QStringLiteral("MSC999")}, false),
                 QStringLiteral("MSC999, MS"));
        QCOMPARE(m_words->placeNames({QStringLiteral("MSCALL")}, false), QStringLiteral("MS"));
        QCOMPARE(m_words->placeNames({QStringLiteral("MSCALL")}, true),
                 QStringLiteral("all of MS"));
    }

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

QTEST_GUILESS_MAIN(TestSpeech)
#include "tst_speech.moc"
