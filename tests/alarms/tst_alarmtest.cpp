#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmDispatcher.h"
#include "alarms/AlarmTest.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class TestAlarmTest : public QObject
{
    Q_OBJECT
private slots:
    void noTestFile();
    void firesMatchingDefinitions();
};

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

    void define(const QString& pattern)
    {
        AlarmDefinition d;
        d.pattern = pattern;
        d.list = 1;
        alarms.definitions().append(d);
    }
};
} // namespace

void TestAlarmTest::noTestFile()
{
    Fixture f;
    AlarmTest& test = f.test;
    QVERIFY(!test.available());
    QCOMPARE(test.run(), 0);
    QCOMPARE(f.display.text(),
             " --  No test file found --\n\nRequired: testprod.{filename}\nin " + f.programDir);
}

void TestAlarmTest::firesMatchingDefinitions()
{
    Fixture f;
    f.home.write(QStringLiteral("prog/testprod.torgrrmi"),
                 "WFUS53 KGRR 051200\r\nTORGRR\r\nTEST\r\n");
    f.define(QStringLiteral("TOR?????"));
    f.define(QStringLiteral("SVRGRRMI"));
    f.define(QStringLiteral("TORGRR"));
    f.define(QString()); // the first empty pattern ends the run
    f.define(QStringLiteral("TOR"));
    QStringList listed;
    QObject::connect(&f.component, &AlarmComponent::AlarmList, &f.component,
                     [&](const QString& line) { listed << line; });
    AlarmTest& test = f.test;
    QVERIFY(test.available());
    QCOMPARE(test.run(), 2);
    QVERIFY(QFileInfo::exists(f.settings.TextPath + "TORGRRMI.TXT"));
    QCOMPARE(f.status.text(), QStringLiteral("Processing TORGRRMI.TXT"));
    QCOMPARE(listed.size(), 2);
}

QTEST_GUILESS_MAIN(TestAlarmTest)
#include "tst_alarmtest.moc"
