#include "TestSupport.h"
#include "alarms/AlarmDispatcher.h"
#include "alarms/AlarmTest.h"
#include "alarms/VOZUZUduvi.h"
#include "app/MainState.h"

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
struct Fixture : StateFixture
{
    void define(const QString& pattern)
    {
        AlarmDefinition d;
        d.pattern = pattern;
        d.list = 1;
        state.alarms.definitions().append(d);
    }
};
} // namespace

void TestAlarmTest::noTestFile()
{
    Fixture f;
    AlarmTest test(f.state, f.state.alarmDispatcher());
    QVERIFY(!test.available());
    QCOMPARE(test.run(), 0);
    QCOMPARE(f.state.displayText(),
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
    QObject::connect(&f.state.getalarm(), &VOZUZUduvi::AlarmList, &f.state.getalarm(),
                     [&](const QString& line) { listed << line; });
    AlarmTest test(f.state, f.state.alarmDispatcher());
    QVERIFY(test.available());
    QCOMPARE(test.run(), 2);
    QVERIFY(QFileInfo::exists(f.state.settings.TextPath + "TORGRRMI.TXT"));
    QCOMPARE(f.state.status.text(), QStringLiteral("Processing TORGRRMI.TXT"));
    QCOMPARE(listed.size(), 2);
}

QTEST_GUILESS_MAIN(TestAlarmTest)
#include "tst_alarmtest.moc"
