#include "TestSupport.h"
#include "core/AlarmFile.h"
#include "platform/RuntimeError.h"

#include <QTest>

Q_DECLARE_METATYPE(ErrorNumber)

class TestAlarmFile : public QObject
{
    Q_OBJECT
private slots:
    void fileNames_data();
    void fileNames();
    void loadFixture();
    void roundTrip();
    void missingOrEmptyFile();
    void shortLinesTakeDefaults();
    void badValues_data();
    void badValues();
    void tooManyDefinitions();
    void exePrograms();
};

void TestAlarmFile::fileNames_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0 << "alarm-v15.cfg";
    QTest::newRow("3") << 3 << "alarm-v15.3.cfg";
}

void TestAlarmFile::fileNames()
{
    QFETCH(int, number);
    QFETCH(QString, name);
    QCOMPARE(AlarmFile::fileName(number), name);
}

void TestAlarmFile::loadFixture()
{
    AlarmFile file;
    file.load(testDataPath(QStringLiteral("tables/alarm-v15.cfg")));
    QCOMPARE(file.alarmCount(), 2); // the empty line holds no definition
    const AlarmDefinition& tor = file.definitions().at(0);
    QCOMPARE(tor.pattern, QStringLiteral("TORGRR"));
    QCOMPARE(tor.email, qint16(1));
    QCOMPARE(tor.pager, qint16(-1));
    QCOMPARE(tor.zone, QStringLiteral("MIZ050"));
    QCOMPARE(tor.exe, quint8(2));
    QCOMPARE(file.definitions().at(2).zone, QStringLiteral("!MIC081"));
    QCOMPARE(file.definitions().at(2).audio, qint16(9));
    QVERIFY(file.metarAlarmDefined());
    QVERIFY(!file.speciAlarmDefined());
}

void TestAlarmFile::roundTrip()
{
    AlarmDefinition d;
    d.pattern = QStringLiteral("TOR???");
    d.list = 1;
    d.scroll = 1;
    d.custom = 1;
    QCOMPARE(AlarmFile::writeLine(d), QStringLiteral("\"TOR???\",1,0,0,1,-1,-1,-1,0,\"\",0,0,0,1"));

    TestHome home;
    AlarmFile file;
    file.definitions() << d;
    AlarmDefinition speci = d;
    speci.pattern = QStringLiteral("SPECI KGRR");
    speci.zone = QStringLiteral("!MIZ050");
    speci.email = 3;
    speci.state = QStringLiteral("runtime only");
    file.definitions() << speci;
    const QString path = home.file(QStringLiteral("alarm-v15.cfg"));
    file.save(path);
    QVERIFY(readBytes(path).endsWith("\"!MIZ050\",0,0,0,1\r\n"));

    AlarmFile loaded;
    loaded.load(path);
    speci.state.clear(); // the alarm state text is never written
    QCOMPARE(loaded.definitions(), QList<AlarmDefinition>({d, speci}));
    QVERIFY(loaded.speciAlarmDefined());
    QVERIFY(!loaded.metarAlarmDefined());

    // A double quote inside a text cannot be written: it is dropped so that
    // the line still reads back as 14 values.
    AlarmDefinition quoted = d;
    quoted.zone = QStringLiteral("MI\"Z050");
    loaded.definitions() = {quoted};
    loaded.save(path);
    loaded.load(path);
    QCOMPARE(loaded.definitions().at(0).zone, QStringLiteral("MIZ050"));
    QCOMPARE(loaded.definitions().at(0).custom, quint8(1));
}

void TestAlarmFile::missingOrEmptyFile()
{
    TestHome home;
    AlarmFile file;
    file.definitions() << AlarmDefinition{};
    file.load(home.file(QStringLiteral("alarm-v15.2.cfg")));
    QCOMPARE(file.alarmCount(), -1);
    file.load(home.write(QStringLiteral("alarm-v15.cfg"), ""));
    QCOMPARE(file.alarmCount(), -1);
    QVERIFY(!file.metarAlarmDefined());

    // Saving no definitions leaves an empty file, which loads as none.
    file.save(home.file(QStringLiteral("alarm-v15.cfg")));
    QCOMPARE(readBytes(home.file(QStringLiteral("alarm-v15.cfg"))), QByteArray());
}

void TestAlarmFile::shortLinesTakeDefaults()
{
    TestHome home;
    AlarmFile file;
    file.load(
        home.write(QStringLiteral("a.cfg"), "\"FFWGRR\",1,1\r\nSVRGRR,,,,,,,,,\"MIZ050\",1\n"));
    QCOMPARE(file.alarmCount(), 1);
    const AlarmDefinition& ffw = file.definitions().at(0);
    QCOMPARE(ffw.print, quint8(1));
    QCOMPARE(ffw.audio, qint16(-1));
    QCOMPARE(ffw.pager, qint16(-1));
    QVERIFY(ffw.zone.isEmpty());
    const AlarmDefinition& svr = file.definitions().at(1);
    QCOMPARE(svr.pattern, QStringLiteral("SVRGRR"));
    QCOMPARE(svr.email, qint16(-1)); // an empty value keeps the default
    QCOMPARE(svr.zone, QStringLiteral("MIZ050"));
    QCOMPARE(svr.log, quint8(1));
}

void TestAlarmFile::badValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<ErrorNumber>("error");
    QTest::newRow("text in a number") << QByteArray("\"TOR\",yes,0") << ErrorNumber::TypeMismatch;
    QTest::newRow("byte too large")
        << QByteArray("\"TOR\",1,0,0,0,0,0,0,0,\"\",0,0,300,0") << ErrorNumber::Overflow;
    QTest::newRow("16-bit too large")
        << QByteArray("\"TOR\",1,0,0,0,40000") << ErrorNumber::Overflow;
    QTest::newRow("negative byte") << QByteArray("\"TOR\",-1") << ErrorNumber::Overflow;
}

void TestAlarmFile::badValues()
{
    QFETCH(QByteArray, line);
    QFETCH(ErrorNumber, error);
    TestHome home;
    AlarmFile file;
    try {
        file.load(home.write(QStringLiteral("alarm-v15.cfg"), "\"AFDGRR\",1\r\n" + line + "\r\n"));
        QFAIL("no error");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), error);
        QVERIFY2(e.text().contains(QStringLiteral("alarm-v15.cfg line 2")), qPrintable(e.text()));
    }
}

void TestAlarmFile::tooManyDefinitions()
{
    TestHome home;
    const QByteArray line = "\"TORGRR\",1,0,0,1,-1,-1,-1,0,\"\",0,0,0,0\r\n";
    AlarmFile file;
    file.load(home.write(QStringLiteral("full.cfg"), line.repeated(AlarmFile::MaxDefinitions)));
    QCOMPARE(file.alarmCount(), 999);
    try {
        file.load(
            home.write(QStringLiteral("over.cfg"), line.repeated(AlarmFile::MaxDefinitions + 1)));
        QFAIL("1001 definitions loaded");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), ErrorNumber::SubscriptOutOfRange);
    }
}

void TestAlarmFile::exePrograms()
{
    TestHome home;
    AlarmFile file;
    file.loadExe(home.file(QStringLiteral("alarm-exe.txt")));
    QVERIFY(file.programs().isEmpty());

    QByteArray text = "\"notify-send $1\",\"Desktop note\"\r\n\"\",\"no command\"\r\n\r\n"
                      "\"/usr/bin/true\"\r\n";
    file.loadExe(home.write(QStringLiteral("alarm-exe.txt"), text));
    QCOMPARE(file.programs().size(), 2);
    QCOMPARE(file.programs().at(0).description, QStringLiteral("Desktop note"));
    QCOMPARE(file.programs().at(1).command, QStringLiteral("/usr/bin/true"));
    QVERIFY(file.programs().at(1).description.isEmpty());
    QVERIFY(!file.tooManyPrograms());

    text = QByteArray("\"prog $1\",\"Program\"\r\n").repeated(60);
    file.loadExe(home.write(QStringLiteral("alarm-exe.txt"), text));
    QCOMPARE(file.programs().size(), AlarmFile::MaxProgramsRead);
    QVERIFY(file.tooManyPrograms());
}

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "tst_alarmfile.moc"
