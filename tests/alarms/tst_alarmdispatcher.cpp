#include "FiledProductOf.h"
#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmDispatcher.h"
#include "alarms/AlarmTest.h"
#include "platform/RuntimeError.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return true; }
};

struct Fixture : CoreFixture
{
    NoPrinter printer;
    AlarmComponent component{programDir, tables, clock, printer};
    AlarmDispatcher dispatcher{alarms, settings, display, clock, prompter, component};
    AlarmTest test{programDir, settings, alarms, status, display, dispatcher};
    QStringList listed; // "index:line" of every AlarmList event

    Fixture()
    {
        QDir().mkpath(programDir);
        settings.TextPath = home.path() + QStringLiteral("/text/");
        settings.GIFPath = home.path() + QStringLiteral("/images/");
        // AlarmList carries no index: the last AlarmUpdate before it names it.
        QObject::connect(&component, &AlarmComponent::AlarmUpdate, &component,
                         [this](int n, const QString&) { m_last = n; });
        QObject::connect(&component, &AlarmComponent::AlarmList, &component,
                         [this](const QString& line) {
                             listed << QString::number(m_last) + QLatin1Char(':') + line;
                         });
    }
    AlarmDefinition& define(const QString& pattern)
    {
        AlarmDefinition d;
        d.pattern = pattern;
        d.list = 1;
        alarms.definitions().append(d);
        return alarms.definitions().last();
    }
    QString product(const QString& identifier, const QString& text = QStringLiteral("TEXT"))
    {
        const QString key =
            identifier.leftJustified(9, QLatin1Char(' ')) + QStringLiteral("~KGRR~MI");
        home.write(QStringLiteral("text/") + key, text.toLatin1());
        return key;
    }
    void at(int hour, int minute) { clock.current.setTime(QTime(hour, minute)); }
    void matchIdentifier(const QString& identifier, const QString& key)
    {
        dispatcher.runAlarms(filedProductOf(settings, key, identifier));
    }
    void matchProductName(const QString& name, const QString& storedName)
    {
        dispatcher.runAlarms(filedProductOf(settings, storedName, name));
    }

private:
    int m_last = -1;
};

// Plain matching: every definition in table order, its expression compiled
// for the test, the length, six-wildcard and observation rules applied.
QStringList plainFires(const QList<AlarmDefinition>& definitions, const QString& identifier,
                       const QString& key)
{
    QStringList fired;
    for (int i = 0; i < definitions.size() && !definitions.at(i).pattern.isEmpty(); ++i) {
        const QString pattern = definitions.at(i).pattern;
        if (pattern.contains(QLatin1String("METAR")) || pattern.contains(QLatin1String("SPECI")))
            continue;
        const QString expression = AlarmDispatcher::identifierPattern(pattern);
        const QRegularExpression re(expression);
        if (!re.isValid() || !re.match(identifier).hasMatch())
            continue;
        if (expression.size() < identifier.size())
            continue;
        if (expression == QLatin1String("......") && identifier.contains(QLatin1String("SAORCM")))
            continue;
        fired << QString::number(i) + QLatin1Char(':') + key;
    }
    return fired;
}

// Identifiers of the corpus products (the first six characters of each name)
// and a few that the derivation rules produce.
QStringList corpusIdentifiers()
{
    QStringList ids = {"TORGRR", "SVRDTX",   "FFWIWX",  "SAORCM", "TESTWARN",
                       "MTRSP8", "FEEDBACK", "AFDGRRX", "TOR",    "WARGRR"};
    const QStringList names =
        QDir(testDataPath(QStringLiteral("corpus/products"))).entryList(QDir::Files);
    for (const QString& name : names) {
        const QString id = name.left(6);
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

// Patterns made from the identifiers: whole, "?" in random places, WAR
// groups, shorter and longer ones, expressions and a few invalid ones.
QStringList generatedPatterns(const QStringList& ids)
{
    QRandomGenerator random(9);
    QStringList patterns = {
        "WAR???", "WARGRR",       "WARGR?",      "??????",  "......", "????????", "TOR",
        "TOR.*",  "(AFD|ZFP)BOX", "[A-Z]{3}GRR", "TOR(GRR", "METAR",  "SPECI",    "?FDBOX",
        "A?DBOX", "afdbox",       "SAORCM",      "SAO???",  "ZFP...", "RR",       "FDBOX"};
    for (int n = 0; n < 400; ++n) {
        QString p = ids.at(random.bounded(int(ids.size())));
        switch (random.bounded(5)) {
        case 0:
            p[random.bounded(int(p.size()))] = QLatin1Char('?');
            break;
        case 1:
            p = QStringLiteral("WAR") + p.mid(3);
            break;
        case 2:
            p += QLatin1Char('X');
            break;
        case 3:
            p.chop(1);
            break;
        default:
            break;
        }
        patterns << p;
    }
    return patterns;
}

} // namespace

class TestAlarmDispatcher : public QObject
{
    Q_OBJECT
private slots:
    void identifierForm_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<bool>("fires");
        QTest::newRow("WAR: tornado") << "WARGRR"
                                      << "TORGRR" << true;
        QTest::newRow("WAR: severe thunderstorm") << "WARGRR"
                                                  << "SVRGRR" << true;
        QTest::newRow("WAR: flash flood") << "WARGRR"
                                          << "FFWGRR" << true;
        QTest::newRow("WAR: other office") << "WARGRR"
                                           << "TORDTX" << false;
        QTest::newRow("WAR: other category") << "WARGRR"
                                             << "AFDGRR" << false;
        QTest::newRow("shorter than the identifier") << "AFD"
                                                     << "AFDGRR" << false;
        QTest::newRow("full identifier") << "AFDGRR"
                                         << "AFDGRR" << true;
        QTest::newRow("longer than the identifier") << "AFDGRRX"
                                                    << "AFDGRR" << false;
        QTest::newRow("letters match by case") << "afdgrr"
                                               << "AFDGRR" << false;
        QTest::newRow("? inside, other letters around it") << "AF?GRX"
                                                           << "AFDGRR" << false;
        QTest::newRow("? stands for one character") << "TOR???"
                                                    << "TORDTX" << true;
        QTest::newRow("? of another category") << "TOR???"
                                               << "SVRDTX" << false;
        QTest::newRow("six ? match six characters") << "??????"
                                                    << "ZFPGRR" << true;
        QTest::newRow("six . match six characters") << "......"
                                                    << "ZFPGRR" << true;
        QTest::newRow("six ? never for SAORCM") << "??????"
                                                << "SAORCM" << false;
        QTest::newRow("six ? not for longer identifiers") << "??????"
                                                          << "TESTWARN" << false;
        QTest::newRow("observation pattern") << "METAR"
                                             << "METAR" << false;
        // WAR with wildcards: the wildcards are replaced before WAR is expanded,
        // so the expression stays valid.
        QTest::newRow("WAR???: tornado of any office") << "WAR???"
                                                       << "TORDTX" << true;
        QTest::newRow("WAR???: other category") << "WAR???"
                                                << "AFDDTX" << false;
        QTest::newRow("WARGR?: flash flood") << "WARGR?"
                                             << "FFWGRR" << true;
        // Expressions longer than nine characters: a "?" beyond the ninth is a
        // wildcard like any other ("." typed in the editor is stored as "?").
        QTest::newRow("long expression: its office") << "(TOR|SVR)GRR"
                                                     << "SVRGRR" << true;
        QTest::newRow("long expression: other office") << "(TOR|SVR)GRR"
                                                       << "TORDTX" << false;
        QTest::newRow("long expression: ? late") << "(TOR|SVR)?RR"
                                                 << "TORGRR" << true;
        QTest::newRow("long expression: ? late, other category") << "(TOR|SVR)?RR"
                                                                 << "AFDGRR" << false;
    }
    void identifierForm()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, identifier);
        QFETCH(bool, fires);
        Fixture f;
        f.define(pattern);
        const QString key = f.product(identifier);
        f.matchIdentifier(identifier, key);
        QCOMPARE(f.listed, fires ? QStringList{"0:" + key} : QStringList());
        QVERIFY2(!f.display.text().contains(QStringLiteral("invalid")),
                 qPrintable(f.display.text()));
    }
    void productNameForm_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fires");
        const QString image = QStringLiteral("RADUSAPN-12051507.GIF");
        QTest::newRow("full name") << "RADUSAPN" << image << true;
        QTest::newRow("? in the name") << "RAD???PN" << image << true;
        QTest::newRow("no length rule") << "RAD" << image << true;
        QTest::newRow("other name") << "SATUSAPN" << image << false;
        // Six wildcards mean text products of 6-character identifiers only.
        QTest::newRow("six ? not for an image") << "??????" << image << false;
        QTest::newRow("six . not for an image") << "......" << image << false;
        QTest::newRow("six ? not for a collection") << "??????"
                                                    << "SAHOURLY.ZIS" << false;
        QTest::newRow("six ? not for SAORCM") << "??????"
                                              << "SAORCMUS.ZIS" << false;
        QTest::newRow("eight ? for any name") << "????????" << image << true;
        QTest::newRow("? beyond the eighth character") << "(RAD|SAT)?SAPN" << image << true;
        QTest::newRow("? beyond the eighth, other name") << "(AFD|ZFP)?SAPN" << image << false;
    }
    void productNameForm()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, name);
        QFETCH(bool, fires);
        Fixture f;
        f.define(pattern);
        if (name.endsWith(QLatin1String(".GIF")))
            f.home.write(QStringLiteral("images/") + name, "GIF89a");
        f.matchProductName(name.left(8), name);
        QCOMPARE(f.listed, fires ? QStringList{"0:" + name} : QStringList());
    }
    void loopStopsAtFirstEmptyPattern()
    {
        Fixture f;
        f.define(QStringLiteral("TORGRR"));
        f.define(QStringLiteral("WARGRR"));
        f.define(QString());
        f.define(QStringLiteral("TOR???"));
        const QString key = f.product(QStringLiteral("TORGRR"));
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.listed, QStringList({"0:" + key, "1:" + key}));
    }
    void invalidExpressionGoesOn()
    {
        Fixture f;
        f.define(QStringLiteral("TOR(GRR"));
        f.define(QStringLiteral("TORGRR"));
        const QString key = f.product(QStringLiteral("TORGRR"));
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.display.text(), QStringLiteral("Alarm TOR(GRR is invalid."));
        QCOMPARE(f.listed, QStringList({"1:" + key}));

        f.define(QStringLiteral("RAD(USA"));
        f.matchProductName(QStringLiteral("RADUSAPN"), QStringLiteral("RADUSAPN-1.GIF"));
        QCOMPARE(f.display.text(), QStringLiteral("Alarm RAD(USA is invalid."));
        QCOMPARE(f.listed, QStringList({"1:" + key}));
    }
    void dayWindow_data()
    {
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("fires");
        QTest::newRow("06:59") << 6 << 59 << false;
        QTest::newRow("07:00") << 7 << 0 << true;
        QTest::newRow("21:59") << 21 << 59 << true;
        QTest::newRow("22:00") << 22 << 0 << false;
    }
    void dayWindow()
    {
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(bool, fires);
        Fixture f;
        f.define(QStringLiteral("TORGRR")).dayOnly = 1;
        f.define(QStringLiteral("TORGRR")); // always
        const QString key = f.product(QStringLiteral("TORGRR"));
        f.at(hour, minute);
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QStringList expected;
        if (fires)
            expected << "0:" + key;
        expected << "1:" + key;
        QCOMPARE(f.listed, expected);
    }
    void stateTextKeptExceptTestwarn()
    {
        Fixture f;
        f.define(QStringLiteral("TORGRR"));
        f.define(QStringLiteral("TESTWARN"));
        const QString tor = f.product(QStringLiteral("TORGRR"));
        const QString test = f.product(QStringLiteral("TESTWARN"));
        for (int round = 0; round < 2; ++round) {
            f.matchIdentifier(QStringLiteral("TORGRR"), tor);
            f.matchIdentifier(QStringLiteral("TESTWARN"), test);
        }
        // The repeated warning alarms once; the test product every time.
        QCOMPARE(f.listed, QStringList({"0:" + tor, "1:" + test, "1:" + test}));
        QVERIFY(!f.alarms.definitions().at(0).state.isEmpty());
        QVERIFY(f.alarms.definitions().at(1).state.isEmpty());
        f.dispatcher.AlarmUpdate(1, QStringLiteral("X"));
        f.dispatcher.AlarmUpdate(7, QStringLiteral("X")); // no such definition
        QVERIFY(f.alarms.definitions().at(1).state.isEmpty());
    }
    void handlerFailures_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("exe");
        QTest::addColumn<QString>("display");
        QTest::newRow("scroll windows") << int(ErrorNumber::SubscriptOutOfRange) << 0
                                        << "ALARM ERROR\n------\n\nMaximum number of scroll alarms "
                                           "displayed is 10, please close some...";
        QTest::newRow("missing program") << int(ErrorNumber::FileNotFound) << 2
                                         << "ALARM ERROR\n------\n\nEXE Alarm #2  /opt/view $1 not "
                                            "found...";
        QTest::newRow("missing file without a program")
            << int(ErrorNumber::FileNotFound) << 0 << "";
        QTest::newRow("other errors") << int(ErrorNumber::PathFileAccess) << 2 << "";
    }
    void handlerFailures()
    {
        QFETCH(int, error);
        QFETCH(int, exe);
        QFETCH(QString, display);
        Fixture f;
        f.home.write(QStringLiteral("prog/alarm-exe.txt"),
                     "\"/opt/edit $1\",\"Edit\"\r\n\"/opt/view $1\",\"View\"\r\n");
        f.alarms.loadExe(f.programDir + QStringLiteral("alarm-exe.txt"));
        AlarmDefinition& d = f.define(QStringLiteral("TORGRR"));
        d.scroll = 1;
        d.exe = static_cast<quint8>(exe);
        f.define(QStringLiteral("TOR???"));
        QObject::connect(&f.component, &AlarmComponent::AlarmVisual, &f.component,
                         [error] { throw RuntimeError(static_cast<ErrorNumber>(error)); });
        const QString key = f.product(QStringLiteral("TORGRR"));
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.display.text(), display);
        QVERIFY(f.prompter.messages.isEmpty());
        // The failing definition's other actions and the next definition still ran.
        QCOMPARE(f.listed, QStringList({"0:" + key, "1:" + key}));
    }
    void invalidCallShowsMessage()
    {
        Fixture f;
        f.define(QStringLiteral("TORGRR")).scroll = 1;
        QObject::connect(&f.component, &AlarmComponent::AlarmVisual, &f.component,
                         [] { throw RuntimeError(ErrorNumber::InvalidCall); });
        f.matchIdentifier(QStringLiteral("TORGRR"), f.product(QStringLiteral("TORGRR")));
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text,
                 QStringLiteral("MAIN: ProcessAlarms\nError: 5\nPossible Causes: Invalid procedure "
                                "call or argument"));
        QCOMPARE(f.prompter.messages.first().icon, IPrompter::Icon::Exclamation);
        QVERIFY(f.display.text().isEmpty());
    }
    void productReadOncePerProduct()
    {
        // Every matching definition of one product works from one reading of it:
        // the file gone after the first alarm still alarms the others.
        Fixture f;
        for (int i = 0; i < 4; ++i)
            f.define(QStringLiteral("TORGRR"));
        const QString key = f.product(QStringLiteral("TORGRR"));
        QObject::connect(&f.component, &AlarmComponent::AlarmList, &f.component,
                         [&f, key] { QFile::remove(f.settings.TextPath + key); });
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.listed, QStringList({"0:" + key, "1:" + key, "2:" + key, "3:" + key}));

        // The next product is read afresh.
        f.listed.clear();
        const QString other = f.product(QStringLiteral("TORGRR"), QStringLiteral("NEW TEXT"));
        QCOMPARE(other, key);
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.listed.size(), 4);
    }
    void indexFiresAsPlainMatching()
    {
        Fixture f;
        f.display.setDisplay(QString());
        const QStringList ids = corpusIdentifiers();
        for (const QString& pattern : generatedPatterns(ids))
            f.define(pattern);
        QVERIFY(f.alarms.definitions().size() > 400);
        int fired = 0;
        for (const QString& id : ids) {
            const QString key = f.product(id, QStringLiteral("TEXT OF ") + id);
            f.listed.clear();
            f.matchIdentifier(id, key);
            const QStringList expected = plainFires(f.alarms.definitions(), id, key);
            QCOMPARE(f.listed, expected);
            fired += int(expected.size());
        }
        QVERIFY2(fired > int(ids.size()), "the generated table fires for most identifiers");
        QCOMPARE(f.dispatcher.index().builds(), 1);
        QCOMPARE(f.display.text(), QStringLiteral("Alarm TOR(GRR is invalid."));
    }
    void indexFollowsTableChanges_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("firesAfter");
        QTest::newRow("other office") << "TORGRR"
                                      << "TORDTX" << false;
        QTest::newRow("to a wildcard") << "TORDTX"
                                       << "TOR???" << true;
        QTest::newRow("to a WAR group") << "AFDGRR"
                                        << "WARGRR" << true;
        QTest::newRow("emptied: the loop ends there") << "TORGRR"
                                                      << "" << false;
    }
    void indexFollowsTableChanges()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(bool, firesAfter);
        Fixture f;
        f.define(before);
        f.define(QStringLiteral("TORGRR"));
        const QString key = f.product(QStringLiteral("TORGRR"));
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.listed, plainFires(f.alarms.definitions(), QStringLiteral("TORGRR"), key));

        // Edited in place, as the alarm editor does; the text is new so that
        // the definitions that fired before fire again.
        f.alarms.definitions()[0].pattern = after;
        f.alarms.definitions()[1].state.clear();
        f.product(QStringLiteral("TORGRR"), QStringLiteral("NEW TEXT"));
        f.listed.clear();
        f.matchIdentifier(QStringLiteral("TORGRR"), key);
        QCOMPARE(f.listed.contains("0:" + key), firesAfter);
        QCOMPARE(f.listed, plainFires(f.alarms.definitions(), QStringLiteral("TORGRR"), key));
    }
    // The alarm test files prog/testprod.<name> and runs it through the table.
    void testFileMissing()
    {
        Fixture f;
        QVERIFY(!f.test.available());
        QCOMPARE(f.test.run(), 0);
        QVERIFY(f.display.text().contains(QLatin1String("testprod.{filename}")));
    }
    void testFileFiresMatchingDefinitions()
    {
        Fixture f;
        f.home.write(QStringLiteral("prog/testprod.torgrrmi"),
                     "WFUS53 KGRR 051200\r\nTORGRR\r\nTEST\r\n");
        f.define(QStringLiteral("TOR?????"));
        f.define(QStringLiteral("SVRGRRMI"));
        f.define(QStringLiteral("TORGRR"));
        f.define(QString()); // the first empty pattern ends the run
        f.define(QStringLiteral("TOR"));
        QVERIFY(f.test.available());
        QCOMPARE(f.test.run(), 2);
        QVERIFY(QFileInfo::exists(f.settings.TextPath + "TORGRRMI.TXT"));
        QCOMPARE(f.listed.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestAlarmDispatcher)
#include "tst_alarmdispatcher.moc"
