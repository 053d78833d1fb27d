// The alarm component: zone decisions (county codes, and the zone POINT on
// real warnings through polygons or the county of the user's location),
// repeats, every action with its arguments, and failures that stop nothing.
#include "FiledProductOf.h"
#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmEditor.h"
#include "core/AlarmDefinition.h"
#include "core/GeoOutlines.h"
#include "core/PointZone.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString TorKey = QStringLiteral("TORDMX   ~KDMX~IA");
const QString SvrKey = QStringLiteral("SVRLMK   ~KLMK~IN");

class RecordingPrinter : public ITextPrinter
{
public:
    bool printText(const QString& text, int pointSize) override
    {
        texts << text;
        sizes << pointSize;
        return true;
    }
    QStringList texts;
    QList<int> sizes;
};

// The switches of one hand-over; everything off unless set.
struct Switches
{
    quint8 print = 0;
    qint16 scroll = 0, audio = -1, email = -1, pager = -1;
    QString zone;
    quint8 log = 0, display = 0, exe = 0, compress = 0, archive = 0, list = 0;
};

struct Fixture : CoreFixture
{
    RecordingPrinter printer;
    AlarmComponent component{programDir, tables, clock, printer};
    QStringList events; // one entry per event: name and arguments, "|" between
    QString stateText;  // the last AlarmUpdate text
    std::function<void()> onVisual;

    Fixture()
    {
        QDir().mkpath(programDir);
        settings.TextPath = home.path() + QStringLiteral("/text/");
        settings.GIFPath = home.path() + QStringLiteral("/images/");
        settings.SAPath = home.path() + QStringLiteral("/hourly/");
        tables.loadCounties(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/fips63.txt"));
        tables.loadZones(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/zonecode.csv"));
        tables.loadDictionary(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/dictionary.vantorel.txt"));
        record();
    }
    void record()
    {
        auto add = [this](const QStringList& parts) { events << parts.join(QLatin1Char('|')); };
        AlarmComponent* c = &component;
        QObject::connect(c, &AlarmComponent::AlarmUpdate, c, [=, this](int n, const QString& s) {
            stateText = s;
            add({"Update", QString::number(n)});
        });
        QObject::connect(c, &AlarmComponent::AlarmScreen, c,
                         [=](const QString& t, const QString& p) {
                             add({"Screen", t, p});
                         });
        QObject::connect(c, &AlarmComponent::AlarmVisual, c,
                         [=, this](const QString& t, const QString& p, const QString& s) {
                             add({"Visual", t, p, s});
                             if (onVisual)
                                 onVisual();
                         });
        QObject::connect(c, &AlarmComponent::PlayAudio, c, [=](const QString& f) {
            add({"Audio", f});
        });
        QObject::connect(c, &AlarmComponent::AlarmList, c, [=](const QString& l) {
            add({"List", l});
        });
        QObject::connect(c, &AlarmComponent::AlarmArchive, c,
                         [=](const QString& p, const QString& o) {
                             add({"Archive", p, o});
                         });
        QObject::connect(c, &AlarmComponent::AlarmEXE, c, [=](int n, const QString& p) {
            add({"EXE", QString::number(n), p});
        });
        QObject::connect(c, &AlarmComponent::alarmEMail, c,
                         [=](const QString& t, int m, const QString& s) {
                             add({"EMail", t, QString::number(m), s});
                         });
        QObject::connect(c, &AlarmComponent::AlarmPager, c, [=](const QString& t, int m) {
            add({"Pager", t, QString::number(m)});
        });
    }
    void fileText(const QString& key, const QString& sample)
    {
        home.write(QStringLiteral("text/") + key,
                   readBytes(testDataPath(QStringLiteral("ugc/")) + sample));
    }
    void check(const QString& name, const QString& checkString, const Switches& s)
    {
        AlarmDefinition d;
        d.print = s.print;
        d.scroll = s.scroll;
        d.audio = s.audio;
        d.email = s.email;
        d.pager = s.pager;
        d.zone = s.zone;
        d.log = s.log;
        d.display = s.display;
        d.exe = s.exe;
        d.compress = s.compress;
        d.custom = s.archive;
        d.list = s.list;
        d.state = stateText;
        component.CheckAlarm(filedProductOf(settings, name, checkString), d, 4);
    }
    QStringList names() const
    {
        QStringList result;
        for (const QString& e : events)
            result << e.section(QLatin1Char('|'), 0, 0);
        return result;
    }
    QString event(const QString& name) const
    {
        for (const QString& e : events) {
            if (e.startsWith(name + QLatin1Char('|')))
                return e;
        }
        return QString();
    }
};

Switches displayOnly(const QString& zone = QString())
{
    Switches s;
    s.display = 1;
    s.zone = zone;
    return s;
}

} // namespace

namespace {

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return false; }
};

QString corpusText(const QString& name)
{
    return QString::fromLatin1(readBytes(testDataPath(QStringLiteral("corpus/products/") + name)));
}

const GeoOutlines* shippedOutlines()
{
    static const std::optional<GeoOutlines> outlines =
        GeoOutlines::load(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + GeoOutlines::FileName);
    return outlines ? &*outlines : nullptr;
}

} // namespace

class TestAlarmComponent : public QObject
{
    Q_OBJECT
private slots:
    void zoneDecision_data()
    {
        QTest::addColumn<QString>("zone");
        QTest::addColumn<QString>("firstLine"); // empty: no alarm
        const QString ugc = QStringLiteral("IAC117-125-135-070515-");
        // The whole product as the display shows it, from the sequence number on.
        QTest::newRow("any area") << ""
                                  << "574 ";
        QTest::newRow("county of the warning") << "IAC125" << ugc;
        QTest::newRow("county typed in lower case") << "iac135" << ugc;
        QTest::newRow("county elsewhere") << "IAC001"
                                          << "";
        QTest::newRow("zone of a warned county") << "IAZ084" << ugc;
        QTest::newRow("zone only") << "!IAZ084"
                                   << "";
        QTest::newRow("zone of no warned county") << "IAZ004"
                                                  << "";
        QTest::newRow("! before a county code") << "!IAC117" << ugc;
        QTest::newRow("malformed zone") << "IOWA"
                                        << "";
    }
    void zoneDecision()
    {
        QFETCH(QString, zone);
        QFETCH(QString, firstLine);
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        f.check(TorKey, QStringLiteral("TORDMX"), displayOnly(zone));
        if (firstLine.isEmpty()) {
            QVERIFY(f.events.isEmpty());
            return;
        }
        QCOMPARE(f.names(), QStringList({"Update", "Screen"}));
        const QString text = f.event(QStringLiteral("Screen")).section(QLatin1Char('|'), 1, 1);
        QVERIFY2(text.startsWith(firstLine + QStringLiteral("\r\n")), qPrintable(text.left(60)));
        QVERIFY(text.contains(QStringLiteral("TORNADO WARNING FOR...")));
        QVERIFY(!text.contains(QChar(1)));
        QVERIFY(!text.contains(QStringLiteral("\r\r")));
    }
    void repeatedProductAlarmsOnce()
    {
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        const Switches s = displayOnly(QStringLiteral("IAC117"));
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.names(), QStringList({"Update", "Screen"}));
        QCOMPARE(f.event(QStringLiteral("Update")), QStringLiteral("Update|4"));
        const QString first = f.stateText;
        QVERIFY(!first.isEmpty());

        // The broadcast repeats the warning with another sequence number.
        QByteArray repeat = readBytes(testDataPath(QStringLiteral("ugc/TORDMXIA.TXT")));
        repeat.replace("574 ", "612 ");
        f.home.write(QStringLiteral("text/") + TorKey, repeat);
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.events.size(), 2);

        // An update with changed text alarms again; both texts are remembered.
        repeat.replace("* UNTIL 1215 AM CDT", "* UNTIL 1230 AM CDT");
        f.home.write(QStringLiteral("text/") + TorKey, repeat);
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.names(), QStringList({"Update", "Screen", "Update", "Screen"}));
        QCOMPARE(f.stateText.split(QLatin1Char(' ')).size(), 2);
        QVERIFY(f.stateText.endsWith(first));

        // The state passed in decides: a fresh state alarms once more.
        f.stateText.clear();
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.events.size(), 6);
    }
    void repeatsRememberedForAnHour_data()
    {
        QTest::addColumn<int>("others");  // products alarmed in between
        QTest::addColumn<int>("minutes"); // until the retransmission
        QTest::addColumn<bool>("again");
        QTest::newRow("16 others in between") << 16 << 5 << false;
        QTest::newRow("200 others within the hour") << 200 << 59 << false;
        QTest::newRow("an hour later") << 0 << 60 << true;
        QTest::newRow("an hour later, others in between") << 30 << 61 << true;
    }
    void repeatsRememberedForAnHour()
    {
        // A broad definition sees many products; a retransmitted warning is not
        // a new alarm however many others came between, as long as it comes
        // within the hour.
        QFETCH(int, others);
        QFETCH(int, minutes);
        QFETCH(bool, again);
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        const Switches s = displayOnly();
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        const QDateTime start = f.clock.current;
        for (int i = 0; i < others; ++i) {
            const QString key = QStringLiteral("AFD%1   ~KGRR~MI").arg(i, 3, 10, QLatin1Char('0'));
            f.home.write(QStringLiteral("text/") + key, "AREA FORECAST DISCUSSION");
            f.clock.current = start.addSecs(minutes * 60 * (i + 1) / (others + 1));
            f.check(key, key.left(6), s);
        }
        QCOMPARE(f.events.size(), 2 * (others + 1));
        f.clock.current = start.addSecs(minutes * 60);
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.events.size(), 2 * (others + 1) + (again ? 2 : 0));
    }
    void rememberedRepeatsAreBounded()
    {
        // However many products a definition alarms within the hour, the state
        // text it keeps holds at most MaxRemembered of them, the newest first.
        Fixture f;
        QStringList entries;
        for (int i = 0; i < AlarmComponent::MaxRemembered; ++i)
            entries << AlarmComponent::rememberedEntry(
                QStringLiteral("%1").arg(i, 16, 16, QLatin1Char('0')), f.clock.current);
        f.stateText = entries.join(QLatin1Char(' '));
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        f.check(TorKey, QStringLiteral("TORDMX"), displayOnly());
        QCOMPARE(f.names(), QStringList({"Update", "Screen"}));
        const QStringList kept = f.stateText.split(QLatin1Char(' '));
        QCOMPARE(kept.size(), AlarmComponent::MaxRemembered);
        QVERIFY(!entries.contains(kept.first()));
        QCOMPARE(kept.mid(1), entries.mid(0, AlarmComponent::MaxRemembered - 1));
    }
    void everyActionWithItsArguments()
    {
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        Switches s;
        s.display = s.list = s.archive = 1;
        s.scroll = 1;
        s.audio = 2;
        s.email = 0;
        s.pager = 3;
        s.exe = 2;
        s.zone = QStringLiteral("IAC135");
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.names(), QStringList({"Update", "Screen", "List", "Archive", "Visual", "Audio",
                                         "EMail", "Pager", "EXE"}));
        const QString segment = f.event(QStringLiteral("Screen")).section('|', 1, 1);
        QCOMPARE(f.event(QStringLiteral("Screen")), "Screen|" + segment + "|" + TorKey);
        QCOMPARE(f.event(QStringLiteral("List")), "List|" + TorKey);
        QCOMPARE(f.event(QStringLiteral("Archive")), "Archive|" + TorKey + "|" + segment);
        QString line = segment;
        line.replace('\r', ' ').replace('\n', ' ');
        QCOMPARE(f.event(QStringLiteral("Visual")), "Visual|" + line + "|" + TorKey + "|TORDMX");
        QCOMPARE(f.event(QStringLiteral("Audio")), "Audio|" + f.programDir + "alert3.wav");
        QCOMPARE(f.event(QStringLiteral("EMail")), "EMail|" + segment + "|0|TORDMX");
        QCOMPARE(f.event(QStringLiteral("Pager")), "Pager|" + segment + "|3");
        QCOMPARE(f.event(QStringLiteral("EXE")), "EXE|2|" + TorKey);

        // The whole product is archived by copying the filed file: no text passed.
        Fixture whole;
        whole.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        Switches beep;
        beep.archive = 1;
        beep.audio = 9;
        whole.check(TorKey, QStringLiteral("TORDMX"), beep);
        QCOMPARE(whole.events, QStringList({"Update|4", "Archive|" + TorKey + "|", "Audio|BEEP"}));
    }
    void compressedNotificationText()
    {
        Fixture f;
        f.fileText(SvrKey, QStringLiteral("SVRLMKIN.TXT"));
        Switches s;
        s.display = s.compress = 1;
        s.email = 1;
        s.pager = 0;
        s.scroll = 1;
        f.check(SvrKey, QStringLiteral("SVRLMK"), s);
        const QString mail = f.event(QStringLiteral("EMail")).section('|', 1, 1);
        QVERIFY2(mail.startsWith(QStringLiteral("SVR TSTM WRN FOR...")), qPrintable(mail.left(40)));
        QVERIFY(mail.contains(QStringLiteral("\r\n  TIL 615 PM EDT"))); // UNTIL abbreviated
        QVERIFY(mail.contains(QStringLiteral("\r\n: AT 546 PM EDT...NWS RADAR")));
        QVERIFY(mail.contains(QStringLiteral("\n W HENRY CO IN N CNTRL KENTUCKY...")));
        QVERIFY(!mail.contains(QStringLiteral("*")));
        QVERIFY(!mail.contains(QStringLiteral("WILL ALSO IMPACT")));
        QCOMPARE(f.event(QStringLiteral("Pager")).section('|', 1, 1), mail);
        QVERIFY(!f.event(QStringLiteral("Visual")).contains(QLatin1Char('\n')));
        QVERIFY(
            f.event(QStringLiteral("Visual")).startsWith(QStringLiteral("Visual|SVR TSTM WRN")));
        // The screen shows the product as it is.
        QVERIFY(
            f.event(QStringLiteral("Screen")).contains(QStringLiteral("* SEVERE THUNDERSTORM")));
    }
    void compressText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("expected");
        const QString warning = QStringLiteral("HEAD\n* TORNADO WARNING FOR...\n  X COUNTY\n\n* "
                                               "UNTIL 1215 AM\n\n* AT 1132 PM\n\n* MORE");
        QTest::newRow("bullets of a warning")
            << warning << "TOR"
            << "TORNADO WARNING FOR...\n X COUNTY\n\n  UNTIL 1215 AM\n\n: AT 1132 PM\n\n";
        QTest::newRow("other categories keep their text") << warning << "AFD" << warning;
        QTest::newRow("warning without bullets") << "FLASH FLOOD  TEXT"
                                                 << "FFW"
                                                 << "FLASH FLOOD TEXT";
        QTest::newRow("abbreviations for every category") << "THE NATIONAL WEATHER SERVICE SAYS"
                                                          << "AFD"
                                                          << "THE NWS SAYS";
    }
    void compressText()
    {
        QFETCH(QString, text);
        QFETCH(QString, category);
        QFETCH(QString, expected);
        const QList<QPair<QString, QString>> dictionary = {
            {"NATIONAL WEATHER SERVICE", "NWS"}, {"", "X"}, {"-END-", "-END-"}, {"SAYS", "NO"}};
        QCOMPARE(AlarmComponent::compressText(text, category, dictionary), expected);
    }
    void logLineAppended()
    {
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        Switches s;
        s.log = 1;
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        s.zone = QStringLiteral("IAC117");
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        const QByteArray log = readBytes(f.programDir + QStringLiteral("weather.txt"));
        QCOMPARE(QString::fromLatin1(log),
                 "*** TORDMX - 12/6/2026 6:27:51 PM *** " + TorKey +
                     ": WFUS53 KDMX 070436 / TORDMX / IAC117-125-135-070515-\r\n"
                     "*** TORDMX - 12/6/2026 6:27:51 PM *** " +
                     TorKey +
                     ": IAC117-125-135-070515- / /O.NEW.KDMX.TO.W.0057.110807T0436Z-110807T0515Z/ "
                     "/ BULLETIN - EAS ACTIVATION REQUESTED\r\n");
    }
    void printedThroughPrinter()
    {
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        Switches s;
        s.print = 1;
        s.zone = QStringLiteral("IAC117");
        f.check(TorKey, QStringLiteral("TORDMX"), s);
        QCOMPARE(f.printer.sizes, QList<int>({12}));
        const QString page = f.printer.texts.value(0);
        QVERIFY(page.startsWith(QStringLiteral("\r\nIAC117-125-135-070515-\r\n")));
        QVERIFY(page.endsWith(QStringLiteral("$$\r\n\r\n\r\n\r\n")));
        QCOMPARE(f.names(), QStringList({"Update"}));
    }
    void unreadableOrHostileNamesDoNothing()
    {
        Fixture f;
        f.home.write(QStringLiteral("outside"), "TEXT");
        Switches s = displayOnly();
        s.log = 1;
        for (const QString& name :
             {QStringLiteral("AFDGRR   ~KGRR~MI"), QStringLiteral("../outside"), QString(),
              QStringLiteral("AFDGRR.HTM")})
            f.check(name, QStringLiteral("AFDGRR"), s);
        QVERIFY(f.events.isEmpty());
        QVERIFY(!QFile::exists(f.programDir + QStringLiteral("weather.txt")));
    }
    void imagesAndCollections()
    {
        Fixture f;
        const QString image = QStringLiteral("RADUSAPN-12051507.GIF");
        f.home.write(QStringLiteral("images/") + image, "GIF89a\0\1");
        Switches s = displayOnly();
        s.list = s.archive = 1;
        s.exe = 1;
        f.check(image, QStringLiteral("RADUSAPN"), s);
        QCOMPARE(f.names(), QStringList({"Update", "Screen", "List", "Archive", "EXE"}));
        QCOMPARE(f.event(QStringLiteral("Screen")),
                 "Screen|RADUSAPN: new image " + image + "|" + image);
        QCOMPARE(f.event(QStringLiteral("Archive")), "Archive|" + image + "|");

        // An area cannot be decided for an image; a missing image raises nothing.
        f.events.clear();
        f.stateText.clear();
        s.zone = QStringLiteral("MIZ050");
        f.check(image, QStringLiteral("RADUSAPN"), s);
        s.zone.clear();
        f.check(QStringLiteral("RADUSAPN-12051508.GIF"), QStringLiteral("RADUSAPN"), s);
        QVERIFY(f.events.isEmpty());

        // A collection removed after extraction still alarms, without archive and program.
        f.check(QStringLiteral("SAHOURLY.ZIS"), QStringLiteral("SAHOURLY"), s);
        QCOMPARE(f.names(), QStringList({"Update", "Screen", "List"}));
    }
    void failingHandlerDoesNotStopOtherActions()
    {
        Fixture f;
        f.fileText(TorKey, QStringLiteral("TORDMXIA.TXT"));
        f.onVisual = [] { throw RuntimeError(ErrorNumber::SubscriptOutOfRange); };
        Switches s;
        s.scroll = 1;
        s.audio = 0;
        s.pager = 0;
        try {
            f.check(TorKey, QStringLiteral("TORDMX"), s);
            QFAIL("the handler's failure was not passed on");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::SubscriptOutOfRange);
        }
        QCOMPARE(f.names(), QStringList({"Update", "Visual", "Audio", "Pager"}));
    }
    void everyNewCollectionAlarms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("dir"); // where the filed file is, empty: removed
        QTest::newRow("hourly collection, extracted and removed") << "SAHOURLY.ZIS"
                                                                  << "";
        QTest::newRow("surface collection kept") << "SFCOBSUS.ZIS"
                                                 << "hourly/";
        QTest::newRow("image") << "RADUSAPN-12051507.GIF"
                               << "images/";
    }
    void everyNewCollectionAlarms()
    {
        // The notice text of a collection is the same every hour: each arrival is
        // a new product all the same.
        QFETCH(QString, name);
        QFETCH(QString, dir);
        Fixture f;
        if (!dir.isEmpty())
            f.home.write(dir + name, "PK\3\4");
        const Switches s = displayOnly();
        for (int hour = 0; hour < 3; ++hour)
            f.check(name, name.left(8), s);
        QCOMPARE(f.names(),
                 QStringList({"Update", "Screen", "Update", "Screen", "Update", "Screen"}));
    }
    void largeProductReadUpToCap()
    {
        Fixture f;
        QByteArray big = readBytes(testDataPath(QStringLiteral("ugc/TORDMXIA.TXT")));
        const QByteArray filler = QByteArray(79, 'X') + "\r\r\n";
        while (big.size() < 8 * 1024 * 1024)
            big += filler;
        f.home.write(QStringLiteral("text/") + TorKey, big);
        f.check(TorKey, QStringLiteral("TORDMX"), displayOnly());
        QCOMPARE(f.names(), QStringList({"Update", "Screen"}));
        const QString text = f.event(QStringLiteral("Screen")).section('|', 1, 1);
        QVERIFY2(text.size() < big.size() / 4, qPrintable(QString::number(text.size())));
        QVERIFY(text.contains(QStringLiteral("TORNADO WARNING FOR...")));
    }

    void decisions_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<QString>("segmentHas"); // empty: no alarm
        // Tornado warning for parts of Story, Hardin, Marshall and Grundy counties.
        QTest::newRow("Marshalltown, inside the polygon") << "TORDMXIA.TXT@1"
                                                          << "42.049"
                                                          << "-92.908"
                                                          << "TO.W.0043";
        QTest::newRow("Marshall County, south of the polygon") << "TORDMXIA.TXT@1"
                                                               << "41.90"
                                                               << "-93.00"
                                                               << "";
        QTest::newRow("on the polygon's corner") << "TORDMXIA.TXT@1"
                                                 << "42.06"
                                                 << "-93.36"
                                                 << "TO.W.0043";
        QTest::newRow("far away") << "TORDMXIA.TXT@1"
                                  << "35.0"
                                  << "-97.0"
                                  << "";
        // Two segments with one polygon: the part that continues the warning.
        QTest::newRow("statement, cancelled part first, continued part taken") << "SVSOAXIA.TXT"
                                                                               << "41.40"
                                                                               << "-95.60"
                                                                               << "CON.KOAX";
        QTest::newRow("statement that only ends the warning") << "SVSOAXIA.TXT@2"
                                                              << "41.40"
                                                              << "-95.60"
                                                              << "EXP.KOAX";
        // A watch lists counties and no polygon: the county of the place decides.
        QTest::newRow("watch, Greenfield in a cancelled county") << "WCNDMXIA.TXT"
                                                                 << "41.305"
                                                                 << "-94.461"
                                                                 << "CAN.KDMX.TO.A";
        QTest::newRow("watch, Centerville in a continued county") << "WCNDMXIA.TXT"
                                                                  << "40.734"
                                                                  << "-92.874"
                                                                  << "CON.KDMX.TO.A";
        QTest::newRow("watch, Des Moines not listed") << "WCNDMXIA.TXT"
                                                      << "41.586"
                                                      << "-93.625"
                                                      << "";
        // Zone codes alone never make POINT fire.
        QTest::newRow("winter storm by zones, Des Moines") << "WSWDMXIA.TXT"
                                                           << "41.586"
                                                           << "-93.625"
                                                           << "";
        QTest::newRow("no location") << "TORDMXIA.TXT@1"
                                     << ""
                                     << ""
                                     << "";
        QTest::newRow("half a location") << "TORDMXIA.TXT@1"
                                         << "42.049"
                                         << ""
                                         << "";
    }
    void decisions()
    {
        QFETCH(QString, file);
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(QString, segmentHas);
        Settings settings;
        settings.Latitude = lat;
        settings.Longitude = lon;
        const PointZone zone(settings, shippedOutlines);
        const std::optional<QString> text = zone.areaText(corpusText(file));
        QCOMPARE(text.has_value(), !segmentHas.isEmpty());
        if (text)
            QVERIFY2(text->contains(segmentHas), qPrintable(*text));
        QCOMPARE(PointZone::problem(settings).isEmpty(), !lat.isEmpty() && !lon.isEmpty());
    }

    void withoutOutlinesOnlyPolygonsDecide()
    {
        Settings settings;
        settings.Latitude = QStringLiteral("41.305");
        settings.Longitude = QStringLiteral("-94.461");
        const PointZone zone(settings, [] { return nullptr; });
        QVERIFY(!zone.areaText(corpusText(QStringLiteral("WCNDMXIA.TXT"))));
        settings.Latitude = QStringLiteral("42.049");
        settings.Longitude = QStringLiteral("-92.908");
        QVERIFY(zone.areaText(corpusText(QStringLiteral("TORDMXIA.TXT@1"))));
    }

    // The definitions TOR??? with zone POINT and with the county's code,
    // through the alarm component, for a place inside and one outside the polygon.
    void alarmComponent_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<bool>("alarms");
        QTest::newRow("POINT inside") << "42.049"
                                      << "-92.908"
                                      << "POINT" << true;
        QTest::newRow("POINT outside, same county") << "41.90"
                                                    << "-93.00"
                                                    << "point " << false;
        QTest::newRow("county code, outside the polygon") << "41.90"
                                                          << "-93.00"
                                                          << "IAC127" << true;
        QTest::newRow("POINT without location") << ""
                                                << ""
                                                << "POINT" << false;
    }
    void alarmComponent()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(QString, zone);
        QFETCH(bool, alarms);
        CoreFixture f;
        QDir().mkpath(f.programDir);
        f.settings.TextPath = f.dir(QStringLiteral("text"));
        f.settings.Latitude = lat;
        f.settings.Longitude = lon;
        const QString key = QStringLiteral("TORDMX   ~KDMX~IA");
        f.home.write(QStringLiteral("text/") + key,
                     readBytes(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT@1"))));
        NoPrinter printer;
        AlarmComponent component(f.programDir, f.tables, f.clock, printer);
        const PointZone pointZone(f.settings, shippedOutlines);
        component.setPointZone(&pointZone);
        QSignalSpy screen(&component, &AlarmComponent::AlarmScreen);
        AlarmDefinition definition;
        definition.pattern = QStringLiteral("TOR???");
        definition.zone = zone;
        definition.display = 1;
        component.CheckAlarm(filedProductOf(f.settings, key, QStringLiteral("TORDMX")), definition,
                             0);
        QCOMPARE(screen.size(), alarms ? 1 : 0);
    }

    // The editor writes POINT into the zone field, reads it back, and says
    // why such a definition would not alarm while no location is set.
    void editor_data()
    {
        QTest::addColumn<QString>("lat");
        QTest::addColumn<QString>("lon");
        QTest::addColumn<bool>("told");
        QTest::newRow("no location") << ""
                                     << "" << true;
        QTest::newRow("location set") << "42.049"
                                      << "-92.908" << false;
    }
    void editor()
    {
        QFETCH(QString, lat);
        QFETCH(QString, lon);
        QFETCH(bool, told);
        CoreFixture f;
        f.settings.Latitude = lat;
        f.settings.Longitude = lon;
        AlarmEditor editor(
            {f.programDir, f.alarms, f.settings, f.store, f.tables, f.prompter, {}, {}});
        AlarmEditor::Fields fields = AlarmEditor::cleared();
        fields.header = QStringLiteral("TOR???");
        fields.point = true;
        QVERIFY(editor.add(fields));
        QCOMPARE(f.alarms.definitions().last().zone, PointZone::Keyword);
        QVERIFY(editor.copy(int(f.alarms.definitions().size()) - 1).point);
        QCOMPARE(!editor.pointProblem().isEmpty(), told);
        QCOMPARE(f.prompter.messages.size(), told ? 1 : 0);
        if (told)
            QVERIFY(f.prompter.messages.first().text.contains(QLatin1String("No location")));
    }
};

QTEST_GUILESS_MAIN(TestAlarmComponent)
#include "tst_alarmcomponent.moc"
