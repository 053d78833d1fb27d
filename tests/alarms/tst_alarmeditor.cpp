// The alarm table: its file (names, round trip, bad values, bounds, written
// whole) and the editor that changes it.
#include "TestSupport.h"
#include "alarms/AlarmEditor.h"
#include "core/AlarmFile.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QTest>

namespace {

using Fields = AlarmEditor::Fields;
using Mode = AlarmEditor::ZoneMode;

struct Fixture : CoreFixture
{
    AlarmEditor editor{{programDir, alarms, settings, store, tables, prompter,
                        QStringList{"Staff", "County EOC"}, QList<int>{1, 3}}};

    Fixture()
    {
        const QString data = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/");
        tables.loadCounties(data + QStringLiteral("fips63.txt"));
        tables.loadZones(data + QStringLiteral("zonecode.csv"));
        tables.loadCountyProducts(data + QStringLiteral("county-prod.txt"));
        alarms.loadExe(home.write(QStringLiteral("prog/alarm-exe.txt"),
                                  "\"/opt/a $1\",\"Viewer\"\r\n\"/opt/b $1\",\"Siren\"\r\n"));
    }
    void add(const QString& header, const QString& zone = QString())
    {
        AlarmDefinition d;
        d.pattern = header;
        d.zone = zone;
        alarms.definitions() << d;
    }
    QStringList patterns() const
    {
        QStringList result;
        for (const AlarmDefinition& d : alarms.definitions())
            result << d.pattern;
        return result;
    }
    QString path(int file) const { return programDir + AlarmFile::fileName(file); }
    int county(int state, Mode mode, const QString& name) const
    {
        const auto items = editor.countyItems(state, mode);
        for (int i = 0; i < items.size(); ++i) {
            if (items.at(i).text == name)
                return i;
        }
        return -1;
    }
};

} // namespace

class TestAlarmEditor : public QObject
{
    Q_OBJECT
private slots:
    void addChecks_data()
    {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("pattern"); // empty: refused
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("headerAfter");
        const QString war = QStringLiteral(
            "The WAR shortcut requires the full NWS office name,\nfor example WARGRR");
        QTest::newRow("empty") << ""
                               << ""
                               << "Enter a product header."
                               << "";
        // Blanks alone would add an empty pattern, which ends matching for
        // every definition after it.
        QTest::newRow("blanks only") << "     "
                                     << ""
                                     << "Enter a product header."
                                     << "     ";
        QTest::newRow("three characters") << "TOR"
                                          << ""
                                          << "Enter a full product header."
                                          << "TOR";
        QTest::newRow(". and blanks become ?") << "TOR.GR R "
                                               << "TOR?GR?R"
                                               << ""
                                               << "";
        QTest::newRow("six dots") << "......"
                                  << "??????"
                                  << ""
                                  << "";
        QTest::newRow("WAR with office") << "WARGRR"
                                         << "WARGRR"
                                         << ""
                                         << "";
        QTest::newRow("WAR too short") << "WARGR"
                                       << "" << war << "";
        QTest::newRow("WAR with wildcard") << "WAR?RR"
                                           << "" << war << "";
        QTest::newRow("WAR with dots") << "WAR..."
                                       << "" << war << "";
        QTest::newRow("METAR kept as it is") << "METAR"
                                             << "METAR"
                                             << ""
                                             << "";
        QTest::newRow("expression kept whole") << "(tor|svr).grr"
                                               << "(TOR|SVR)?GRR"
                                               << ""
                                               << "";
        const QString tooLong =
            QStringLiteral("(TOR|SVR|FFW|FLW|SVS|SMW|MWS|EWW|WSW)GRR").repeated(3);
        QTest::newRow("too long") << tooLong << ""
                                  << "The product header is too long: at most 100 characters."
                                  << tooLong;
        QTest::newRow("invalid expression") << "TOR(GR"
                                            << ""
                                            << "Alarm TOR(GR is invalid."
                                            << "TOR(GR";
    }
    void addChecks()
    {
        QFETCH(QString, header);
        QFETCH(QString, pattern);
        QFETCH(QString, message);
        QFETCH(QString, headerAfter);
        Fixture f;
        Fields fields;
        fields.header = header;
        fields.list = true;
        QCOMPARE(f.editor.add(fields), !pattern.isEmpty());
        QCOMPARE(f.patterns(), pattern.isEmpty() ? QStringList() : QStringList{pattern});
        QCOMPARE(fields.header, headerAfter);
        if (message.isEmpty()) {
            QVERIFY(f.prompter.messages.isEmpty());
            QVERIFY(!fields.list); // the fields are cleared after Add
        } else {
            QCOMPARE(f.prompter.messages.size(), 1);
            QCOMPARE(f.prompter.messages.first().text, message);
            QCOMPARE(f.prompter.messages.first().title, QStringLiteral("Vantorel Alarms"));
            QCOMPARE(f.prompter.messages.first().icon, IPrompter::Icon::Information);
        }
        QCOMPARE(f.alarms.metarAlarmDefined(), pattern == QLatin1String("METAR"));
    }
    void graphicsTakePrintAndTimeOnly()
    {
        Fixture f;
        Fields fields;
        fields.header = QStringLiteral("GPHUSAPN");
        fields.print = fields.time = fields.list = fields.scroll = true;
        fields.alert = 3;
        fields.email = 2;
        fields.exe = 1;
        QVERIFY(f.editor.add(fields));
        AlarmDefinition expected;
        expected.pattern = QStringLiteral("GPHUSAPN");
        expected.print = expected.dayOnly = 1;
        QCOMPARE(f.alarms.definitions().first(), expected);
    }
    void zoneModes_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<int>("mode");
        QTest::newRow("zone category") << "TORGRR" << int(Mode::UGC);
        QTest::newRow("county category") << "WARGRR" << int(Mode::FIPS);
        QTest::newRow("no area") << "AFDGRR" << int(Mode::None);
        QTest::newRow("too short") << "TO" << int(Mode::None);
    }
    void zoneModes()
    {
        QFETCH(QString, pattern);
        QFETCH(int, mode);
        Fixture f;
        QCOMPARE(int(f.editor.zoneModeFor(pattern)), mode);
    }
    void zoneCodes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("full");
        QTest::addColumn<QString>("zone");
        QTest::newRow("UGC zone, filter") << int(Mode::UGC) << "MI"
                                          << "Muskegon" << true << "!MIZ050";
        QTest::newRow("UGC zone") << int(Mode::UGC) << "MI"
                                  << "Muskegon" << false << "MIZ050";
        QTest::newRow("FIPS county") << int(Mode::FIPS) << "MI"
                                     << "Kent County" << false << "MIC081";
        QTest::newRow("FIPS ignores the filter") << int(Mode::FIPS) << "DE"
                                                 << "Kent County" << true << "DEC001";
        QTest::newRow("state without county") << int(Mode::FIPS) << "MI"
                                              << "" << false << "";
        QTest::newRow("no zone mode") << int(Mode::None) << "MI"
                                      << "" << false << "";
    }
    void zoneCodes()
    {
        QFETCH(int, mode);
        QFETCH(QString, state);
        QFETCH(QString, item);
        QFETCH(bool, full);
        QFETCH(QString, zone);
        Fixture f;
        Fields fields;
        fields.header = QStringLiteral("TORGRR");
        fields.mode = Mode(mode);
        fields.state = static_cast<int>(AlarmEditor::StateCodes.indexOf(state));
        fields.county = f.county(fields.state, fields.mode, item);
        fields.full = full;
        QCOMPARE(f.editor.zoneOf(fields), zone);
        QVERIFY(f.editor.add(fields));
        QCOMPARE(f.alarms.definitions().first().zone, zone);
        if (zone.isEmpty())
            return;
        // Copy finds state and county or zone again from the code.
        const Fields back = f.editor.copy(0);
        QCOMPARE(int(back.mode), mode);
        QCOMPARE(AlarmEditor::StateCodes.value(back.state), state);
        QCOMPARE(f.editor.countyItems(back.state, back.mode).value(back.county).text, item);
        QCOMPARE(back.full, zone.startsWith(QLatin1Char('!')));
    }
    void everyFieldRoundTrips()
    {
        // Every field, written on close and read back, comes back into the editor.
        Fixture f;
        Fields fields;
        fields.header = QStringLiteral("TORGRR");
        fields.mode = Mode::UGC;
        fields.state = static_cast<int>(AlarmEditor::StateCodes.indexOf(QStringLiteral("MI")));
        fields.county = f.county(fields.state, Mode::UGC, QStringLiteral("Muskegon"));
        fields.full = true;
        fields.print = fields.screen = fields.scroll = fields.time = true;
        fields.log = fields.list = fields.compress = fields.archive = true;
        fields.alert = 10; // BEEP
        fields.email = 3;  // the second address book entry
        fields.pager = 3;  // group 3
        fields.exe = 2;
        const Fields entered = fields;
        QVERIFY(f.editor.add(fields));
        Fields second;
        second.header = QStringLiteral("AFDGRR");
        QVERIFY(f.editor.add(second));
        QVERIFY(f.editor.close());
        QCOMPARE(QString::fromLatin1(readBytes(f.path(0))),
                 QStringLiteral("\"TORGRR\",1,1,1,1,9,2,3,1,\"!MIZ050\",1,1,2,1\r\n"
                                "\"AFDGRR\",0,0,0,0,-1,-1,-1,0,\"\",0,0,0,0\r\n"));

        f.alarms.definitions().clear();
        f.editor.open();
        QCOMPARE(f.patterns(), QStringList({"TORGRR", "AFDGRR"}));
        const Fields back = f.editor.copy(0);
        QCOMPARE(back.header, entered.header);
        QCOMPARE(int(back.mode), int(entered.mode));
        QCOMPARE(back.state, entered.state);
        QCOMPARE(back.county, entered.county);
        QCOMPARE(back.full, entered.full);
        QCOMPARE(QList<bool>({back.print, back.screen, back.scroll, back.time, back.log, back.list,
                              back.compress, back.archive}),
                 QList<bool>(8, true));
        QCOMPARE(QList<int>({back.alert, back.email, back.pager, back.exe}),
                 QList<int>({10, 3, 3, 2}));
        const Fields none = f.editor.copy(1);
        QCOMPARE(QList<int>({none.alert, none.email, none.pager, none.exe, none.state}),
                 QList<int>({0, 0, 0, 0, -1}));
    }
    void gridRows()
    {
        Fixture f;
        AlarmDefinition d;
        d.pattern = QStringLiteral("TORGRR");
        d.zone = QStringLiteral("MIZ050");
        d.print = d.list = d.dayOnly = 1;
        d.audio = 9;
        d.email = 2;
        d.pager = 3;
        d.exe = 1;
        AlarmDefinition afd;
        afd.pattern = QStringLiteral("AFDGRR");
        f.alarms.definitions() << d << afd;
        QCOMPARE(AlarmEditor::gridHeading().split('|').size(), 14);
        QCOMPARE(f.editor.rowCount(), 2);
        QCOMPARE(f.editor.gridRow(0),
                 QStringList({"TORGRR", "MIZ050", "Yes", " No", " No", "BEEP", "County EOC",
                              "Group 3", " 1", "Day", " No", "Yes", " No", " No"}));
        QCOMPARE(f.editor.gridRow(1),
                 QStringList({"AFDGRR", "", " No", " No", " No", "None", "None", "None", " 0",
                              "All", " No", " No", " No", " No"}));
    }
    void sorting_data()
    {
        QTest::addColumn<bool>("byZone");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("by product, any case")
            << false << QStringList{"AFDGRR", "svrgrr", "TOR???", "TORGRR", "WARGRR"};
        // Equal keys keep their order; an empty zone comes first.
        QTest::newRow("by zone") << true
                                 << QStringList{"TOR???", "AFDGRR", "WARGRR", "TORGRR", "svrgrr"};
    }
    void sorting()
    {
        QFETCH(bool, byZone);
        QFETCH(QStringList, order);
        Fixture f;
        f.add(QStringLiteral("WARGRR"), QStringLiteral("MIC081"));
        f.add(QStringLiteral("TOR???"));
        f.add(QStringLiteral("AFDGRR"), QStringLiteral("!MIZ050"));
        f.add(QStringLiteral("TORGRR"), QStringLiteral("miz050"));
        f.add(QStringLiteral("svrgrr"), QStringLiteral("MIZ050"));
        byZone ? f.editor.sortByZone() : f.editor.sortByProduct();
        QCOMPARE(f.patterns(), order);
    }
    void editTakesOutUntilAdded()
    {
        Fixture f;
        for (const char* p : {"AFDGRR", "TORGRR", "SVRGRR"})
            f.add(QLatin1String(p));
        Fields fields = f.editor.edit(1); // grid row 2
        QCOMPARE(fields.header, QStringLiteral("TORGRR"));
        QCOMPARE(f.patterns(), QStringList({"AFDGRR", "SVRGRR"}));
        QVERIFY(f.editor.close()); // closing in between loses it
        QVERIFY(!readBytes(f.path(0)).contains("TORGRR"));
        fields.scroll = true;
        QVERIFY(f.editor.add(fields));
        QCOMPARE(f.patterns(), QStringList({"AFDGRR", "SVRGRR", "TORGRR"}));
        QCOMPARE(f.alarms.definitions().last().scroll, qint16(1));
        f.editor.remove(0);
        f.editor.remove(7); // no such row
        QCOMPARE(f.patterns(), QStringList({"SVRGRR", "TORGRR"}));
    }
    void questionsBeforeLosingAnEntry()
    {
        Fixture f;
        Fields empty;
        QVERIFY(f.editor.confirmOtherCommand(empty));
        QVERIFY(f.editor.confirmExit(empty));
        QVERIFY(f.prompter.questions.isEmpty());
        Fields typed;
        typed.header = QStringLiteral("TORG");
        f.prompter.answers = {IPrompter::Answer::Cancel, IPrompter::Answer::Ok};
        QVERIFY(!f.editor.confirmOtherCommand(typed));
        QVERIFY(f.editor.confirmExit(typed));
        QCOMPARE(f.prompter.questions,
                 QStringList(
                     {"Data is in the alarm setup - other commands will cause you\nto lose "
                      "this alarm. Is that ok?",
                      "Data is in the alarm setup - exiting will lose this alarm. Is that ok?"}));
    }
    void fileSwitching()
    {
        Fixture f;
        f.home.write(QStringLiteral("prog/alarm-v15.cfg"), "\"TORGRR\",1\r\n");
        f.editor.open();
        f.add(QStringLiteral("SVRGRR"));
        // Yes: the new file starts as a copy of File 1, saved just before.
        f.prompter.answers = {IPrompter::Answer::Yes};
        QVERIFY(f.editor.switchFile(2));
        QCOMPARE(f.prompter.questions, QStringList({"Copy File 1 into the new alarm file?"}));
        QCOMPARE(f.editor.fileNum(), 2);
        QCOMPARE(f.store.read("Config", "AlarmFileNum", ""), QStringLiteral("2"));
        QCOMPARE(f.patterns(), QStringList({"TORGRR", "SVRGRR"}));
        f.add(QStringLiteral("FFWGRR"));
        // No: an empty file. The file left is saved first.
        f.prompter.answers = {IPrompter::Answer::No};
        QVERIFY(f.editor.switchFile(4));
        QVERIFY(QFile::exists(f.path(4)));
        QVERIFY(f.patterns().isEmpty());
        QCOMPARE(readBytes(f.path(2)).count('\n'), 3);
        // An existing file is loaded without a question.
        QVERIFY(f.editor.switchFile(0));
        QCOMPARE(f.prompter.questions.size(), 2);
        QCOMPARE(f.patterns(), QStringList({"TORGRR", "SVRGRR"}));
    }
    void captionsAndHours()
    {
        Fixture f;
        f.store.write("Config", "aFile3", "Spring storms");
        f.editor.open();
        QCOMPARE(f.editor.caption(0), QStringLiteral("File 1"));
        QCOMPARE(f.editor.caption(3), QStringLiteral("Spring storms"));
        f.prompter.inputs = {QStringLiteral("Winter"), std::nullopt};
        QVERIFY(f.editor.renameFile(1));
        QVERIFY(!f.editor.renameFile(2));
        QCOMPARE(f.editor.caption(1), QStringLiteral("Winter"));
        QCOMPARE(f.store.read("Config", "aFile1", ""), QStringLiteral("Winter"));

        f.editor.setCutoffAM(6);
        f.editor.setCutoffPM(23);
        QCOMPARE(f.settings.CutoffAM, qint16(6));
        QCOMPARE(f.editor.timeLabel(), QStringLiteral("AM Cutoff: 6    PM Cutoff: 23"));
        QVERIFY(!f.store.contains("Config", "CutoffAM"));
        f.editor.storeCutoffs();
        QCOMPARE(f.store.read("Config", "CutoffPM", ""), QStringLiteral("23"));
    }
    void reopeningKeepsWhatWasAlarmed()
    {
        Fixture f;
        f.home.write(QStringLiteral("prog/alarm-v15.cfg"), "\"TORGRR\",1\r\n\"SVRGRR\",1\r\n");
        f.alarms.load(f.path(0));
        f.alarms.definitions()[0].state = QStringLiteral("1a2b3c");
        f.editor.open();
        QCOMPARE(f.alarms.definitions().at(0).state, QStringLiteral("1a2b3c"));
        QVERIFY(f.alarms.definitions().at(1).state.isEmpty());
    }
    void unreadableLinesWrittenBack_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("saved");
        const QByteArray afd = "\"AFDGRR\",1,0,0,0,-1,-1,-1,0,\"\",0,0,0,0";
        const QByteArray svr = "\"SVRGRR\",0,1,0,0,2,-1,-1,0,\"MIC081\",0,0,0,0";
        const QByteArray bad = "\"TORGRR\",yes,0 ,\"hand written\"";
        QTest::newRow("between definitions") << afd + "\r\n" + bad + "\r\n" + svr + "\r\n"
                                             << afd + "\r\n" + bad + "\r\n" + svr + "\r\n";
        QTest::newRow("first, LF ends") << bad + "\n" + afd + "\n" << bad + "\r\n" + afd + "\r\n";
        QTest::newRow("last, no line end")
            << afd + "\r\n" + svr + "\r\n" + bad << afd + "\r\n" + svr + "\r\n" + bad + "\r\n";
        QTest::newRow("two in a row") << afd + "\r\n" + bad + "\r\n" + bad + "X\r\n"
                                      << afd + "\r\n" + bad + "\r\n" + bad + "X\r\n";
    }
    void unreadableLinesWrittenBack()
    {
        // A line the editor cannot read is reported, then written back as it
        // was, in its place, when the file is saved.
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        Fixture f;
        f.home.write(QStringLiteral("prog/alarm-v15.cfg"), file);
        f.editor.open();
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("\"hand written\"")));
        QVERIFY(f.editor.close());
        QCOMPARE(readBytes(f.path(0)), saved);
        // Switching files saves the same way.
        f.prompter.answers = {IPrompter::Answer::No};
        QVERIFY(f.editor.switchFile(1));
        QVERIFY(f.editor.switchFile(0));
        QVERIFY(f.editor.close());
        QCOMPARE(readBytes(f.path(0)), saved);
    }
    void tableLimits()
    {
        Fixture f;
        QByteArray lines;
        for (int i = 0; i < AlarmFile::MaxDefinitions; ++i)
            lines += "\"TOR" + QByteArray::number(i) + "\",1\r\n";
        f.home.write(QStringLiteral("prog/alarm-v15.cfg"), lines);
        f.editor.open();
        QCOMPARE(f.editor.rowCount(), AlarmFile::MaxEditable);
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages.first().text.contains(QStringLiteral("line 1000")));
        Fields fields;
        fields.header = QStringLiteral("TORGRR");
        QVERIFY(!f.editor.add(fields));
        QCOMPARE(f.editor.rowCount(), AlarmFile::MaxEditable);
        QCOMPARE(f.prompter.messages.last().text,
                 QStringLiteral("No room for another alarm: the most is 999."));
        // The definitions beyond the editor's limit stay in the file.
        QVERIFY(f.editor.close());
        QCOMPARE(readBytes(f.path(0)).count("\r\n"), AlarmFile::MaxDefinitions);
        QVERIFY(readBytes(f.path(0)).endsWith("\"TOR999\",1\r\n"));
    }

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

QTEST_GUILESS_MAIN(TestAlarmEditor)
#include "tst_alarmeditor.moc"
