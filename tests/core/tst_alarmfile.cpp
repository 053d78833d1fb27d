#include "TestSupport.h"
#include "core/AlarmFile.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QTest>

class TestAlarmFile : public QObject
{
    Q_OBJECT
private slots:
    void fileNames_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "alarm-v15.cfg";
        QTest::newRow("3") << 3 << "alarm-v15.3.cfg";
    }
    void fileNames()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(AlarmFile::fileName(number), name);
    }
    void loadFixture()
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
    void roundTrip()
    {
        AlarmDefinition d;
        d.pattern = QStringLiteral("TOR???");
        d.list = 1;
        d.scroll = 1;
        d.custom = 1;
        QCOMPARE(AlarmFile::writeLine(d),
                 QStringLiteral("\"TOR???\",1,0,0,1,-1,-1,-1,0,\"\",0,0,0,1"));

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
    void missingOrEmptyFile()
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
    void shortLinesTakeDefaults()
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
    void badValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("text in a number") << QByteArray("\"TOR\",yes,0");
        QTest::newRow("byte too large") << QByteArray("\"TOR\",1,0,0,0,0,0,0,0,\"\",0,0,300,0");
        QTest::newRow("16-bit too large") << QByteArray("\"TOR\",1,0,0,0,40000");
        QTest::newRow("negative byte") << QByteArray("\"TOR\",-1");
    }
    void badValues()
    {
        // A bad line is skipped and reported with its number and text; the
        // definitions around it are kept.
        QFETCH(QByteArray, line);
        TestHome home;
        AlarmFile file;
        file.load(home.write(QStringLiteral("alarm-v15.cfg"),
                             "\"AFDGRR\",1\r\n" + line + "\r\n\"TORGRR\",0,1\r\n"));
        QCOMPARE(file.alarmCount(), 1);
        QCOMPARE(file.definitions().at(0).pattern, QStringLiteral("AFDGRR"));
        QCOMPARE(file.definitions().at(1).pattern, QStringLiteral("TORGRR"));
        QCOMPARE(file.definitions().at(1).print, quint8(1));
        QCOMPARE(file.problems().size(), 1);
        const QString problem = file.problems().first();
        QVERIFY2(problem.startsWith(QStringLiteral("alarm-v15.cfg line 2")), qPrintable(problem));
        QVERIFY2(problem.contains(QString::fromLatin1(line)), qPrintable(problem));

        // The next load starts with no problems.
        file.load(home.file(QStringLiteral("missing.cfg")));
        QVERIFY(file.problems().isEmpty());
    }
    void tooManyDefinitions_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("kept");
        QTest::newRow("full table")
            << AlarmFile::MaxDefinitions << AlarmFile::MaxDefinitions << 1000;
        QTest::newRow("one line over")
            << AlarmFile::MaxDefinitions + 1 << AlarmFile::MaxDefinitions << 1000;
        QTest::newRow("editor keeps 999")
            << AlarmFile::MaxDefinitions << AlarmFile::MaxEditable << 999;
    }
    void tooManyDefinitions()
    {
        QFETCH(int, lines);
        QFETCH(int, limit);
        QFETCH(int, kept);
        TestHome home;
        QByteArray text;
        for (int i = 0; i < lines; ++i)
            text += "\"TOR" + QByteArray::number(i) + "\",1,0,0,1,-1,-1,-1,0,\"\",0,0,0,0\r\n";
        AlarmFile file;
        file.load(home.write(QStringLiteral("alarm-v15.cfg"), text), limit);
        QCOMPARE(file.definitions().size(), kept);
        QCOMPARE(file.definitions().last().pattern, "TOR" + QString::number(kept - 1));
        QCOMPARE(file.problems().size(), lines > kept ? 1 : 0);
        if (lines > kept)
            QVERIFY2(file.problems().first().contains(QStringLiteral("line %1").arg(kept + 1)),
                     qPrintable(file.problems().first()));
    }
    void saveIsWholeOrNothing()
    {
        TestHome home;
        AlarmFile file;
        const QByteArray before = "\"TORGRR\",1\r\n";
        const QString path = home.write(QStringLiteral("prog/alarm-v15.cfg"), before);
        file.load(path);
        file.definitions().append(file.definitions().first());
        // The new contents go to a new file that replaces the old one at once:
        // the old file is never cut short, so a reader holding it sees it whole.
        QFile old(path);
        QVERIFY(old.open(QIODevice::ReadOnly));
        file.save(path);
        QCOMPARE(old.readAll(), before);
        const QByteArray line =
            AlarmFile::writeLine(file.definitions().first()).toLatin1() + "\r\n";
        QCOMPARE(readBytes(path), line + line);
        // A file that cannot be written is reported; nothing is left behind.
        const QString nowhere = home.file(QStringLiteral("missing/alarm-v15.cfg"));
        try {
            file.save(nowhere);
            QFAIL("saved into a missing directory");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::PathFileAccess);
        }
        QVERIFY(!QFile::exists(nowhere));
    }
    void exePrograms()
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
};

QTEST_GUILESS_MAIN(TestAlarmFile)
#include "tst_alarmfile.moc"
