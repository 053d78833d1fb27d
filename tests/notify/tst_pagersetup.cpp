// The paging configuration as the setup dialogs keep it: users.ini,
// groups.ini and the two settings, written whole, read back the same.
#include "TestSupport.h"
#include "notify/PagerSetup.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QTest>

namespace {
struct Fixture : CoreFixture
{
    PagerConfig pagers;
    QString dir = home.path() + QStringLiteral("/pager/");
    PagerSetup setup{pagers, settings, store, dir};

    Fixture() { QDir().mkpath(dir); }
};

PagerSetup::Personal personal()
{
    PagerSetup::Personal p;
    p.dialup = QStringLiteral("1 616 555 9876");
    p.pagerNumber = QStringLiteral("5551234");
    p.chars = QStringLiteral("80");
    p.userName = QStringLiteral("DUTY");
    p.maxPages = QStringLiteral("3");
    p.speed = QStringLiteral("2400");
    p.parity = QStringLiteral("N");
    p.dataBits = QStringLiteral("8");
    p.stopBits = QStringLiteral("1");
    p.compress = true;
    return p;
}
} // namespace

class TestPagerSetup : public QObject
{
    Q_OBJECT
private slots:
    void personalSaveAndReload();
    void currentValues();
    void failedSaveChangesNothing();
    void pagerNumber_data();
    void pagerNumber();
    void memberPins_data();
    void memberPins();
    void groups_data();
    void groups();
};

void TestPagerSetup::personalSaveAndReload()
{
    Fixture f;
    f.setup.savePersonal(personal());
    QCOMPARE(readBytes(f.dir + "users.ini"),
             QByteArray("DUTY\r\n5551234\r\n1 616 555 9876\r\n\r\n2400\r\n,N,8,1\r\n80\r\n\r\n"));
    QCOMPARE(f.store.read("Pager", "MaxPages", "?"), QStringLiteral("3"));
    QCOMPARE(f.store.read("Pager", "CompressPagerWarnings", "?"), QStringLiteral("1"));
    // Paging uses the new values at once, and a new run reads them back.
    QCOMPARE(f.pagers.personalId, QStringLiteral("DUTY"));
    QCOMPARE(f.settings.MaxPages, QStringLiteral("3"));
    QCOMPARE(f.settings.CompressPagerWarnings, 1);
    const PagerConfig reread = PagerConfig::load(f.dir);
    QCOMPARE(reread.usersLines(), f.pagers.usersLines());
    Settings settings;
    QStringList problems;
    settings.readStartupKeys(f.store, &problems);
    QCOMPARE(settings.MaxPages, QStringLiteral("3"));
    QCOMPARE(settings.CompressPagerWarnings, 1);
}

void TestPagerSetup::currentValues()
{
    Fixture f;
    // Nothing set yet: the user name shows "ATM1", the page limit its default.
    PagerSetup::Personal p = f.setup.personal();
    QCOMPARE(p.userName, QStringLiteral("ATM1"));
    QCOMPARE(p.maxPages, QStringLiteral("5"));
    QVERIFY(!p.compress);
    f.setup.savePersonal(personal());
    p = f.setup.personal();
    QCOMPARE(p.userName, QStringLiteral("DUTY"));
    QCOMPARE(p.parity + p.dataBits + p.stopBits + p.speed, QStringLiteral("N812400"));
    QVERIFY(p.compress);
}

void TestPagerSetup::failedSaveChangesNothing()
{
    CoreFixture f;
    PagerConfig pagers;
    pagers.personalId = QStringLiteral("OLD");
    PagerSetup setup(pagers, f.settings, f.store, f.home.path() + QStringLiteral("/missing/"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, setup.savePersonal(personal()));
    QCOMPARE(pagers.personalId, QStringLiteral("OLD"));
    QCOMPARE(f.settings.MaxPages, QStringLiteral("5"));
    QVERIFY(!f.store.contains("Pager", "MaxPages"));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, setup.saveGroups());
}

void TestPagerSetup::pagerNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("acceptable");
    QTest::newRow("digits") << "5551234" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("dash") << "555-1234" << false;
    QTest::newRow("blank") << "555 1234" << false;
    QTest::newRow("letters") << "ATM1" << false;
    QTest::newRow("plus") << "+15551234" << false;
    QTest::newRow("other digits") << "\u0665\u0665" << false;
}

void TestPagerSetup::pagerNumber()
{
    QFETCH(QString, number);
    QFETCH(bool, acceptable);
    QCOMPARE(PagerSetup::pagerNumberAcceptable(number), acceptable);
}

void TestPagerSetup::memberPins_data()
{
    QTest::addColumn<QStringList>("members");
    QTest::addColumn<QString>("problem");
    QTest::newRow("digits and letters, gaps") << QStringList{"1001", "", "ab12", " 7 "} << "";
    QTest::newRow("sixteen characters") << QStringList{QString(16, QLatin1Char('9'))} << "";
    QTest::newRow("dash")
        << QStringList{"1001", "", "555-1234"}
        << "Member 3: pager PIN \"555-1234\" cannot be paged. Use letters and digits only "
           "(at most 16), no dashes or blanks.";
    QTest::newRow("blank inside") << QStringList{"555 1234"} << "Member 1: pager PIN \"555 1234\"";
    QTest::newRow("seventeen characters")
        << QStringList{"", QString(17, QLatin1Char('9'))} << "Member 2: pager PIN";
    QTest::newRow("other digits") << QStringList{"\u0665\u0665"} << "Member 1: pager PIN";
}

void TestPagerSetup::memberPins()
{
    QFETCH(QStringList, members);
    QFETCH(QString, problem);
    PagerConfig::Group group;
    for (int m = 0; m < members.size(); ++m)
        group.members[m] = members.at(m);
    const QString found = PagerSetup::memberPinProblem(group);
    QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.startsWith(problem), qPrintable(found));
}

void TestPagerSetup::groups_data()
{
    QTest::addColumn<QByteArray>("fileBefore"); // groups.ini as found; empty: none
    QTest::addColumn<int>("group");             // group stored; 0: none
    QTest::addColumn<QStringList>("defined");   // groups with characters per page after closing

    // Group 1 empty, group 2 defined, the rest of the file missing.
    const QByteArray twoFile = QByteArray("GROUP1\r\n") + QByteArray("\r\n").repeated(16) +
                               "GROUP2\r\n5550002\r\n\r\n9600\r\n,E,7,2\r\n100\r\n2001\r\n";
    QTest::newRow("no file, group 3 saved") << QByteArray() << 3 << QStringList{"3"};
    QTest::newRow("closed without saving keeps what was read") << twoFile << 0 << QStringList{"2"};
    QTest::newRow("group 1 added beside group 2") << twoFile << 1 << QStringList{"1", "2"};
    QTest::newRow("group 10") << twoFile << 10 << QStringList{"2", "10"};
}

void TestPagerSetup::groups()
{
    QFETCH(QByteArray, fileBefore);
    QFETCH(int, group);
    QFETCH(QStringList, defined);
    Fixture f;
    if (!fileBefore.isEmpty())
        f.home.write(QStringLiteral("pager/groups.ini"), fileBefore);
    // What paging held before the dialog opened is replaced by the file.
    f.pagers.groups[5].chars = QStringLiteral("999");
    f.setup.openGroups();
    QVERIFY(!f.pagers.groups[5].defined());
    if (group) {
        PagerConfig::Group g;
        g.dialup = QStringLiteral("5550003");
        g.speed = QStringLiteral("1200");
        g.parity = QStringLiteral("E");
        g.dataBits = QStringLiteral("7");
        g.stopBits = QStringLiteral("1");
        g.chars = QStringLiteral("40");
        g.members[0] = QStringLiteral("3001");
        g.members[9] = QStringLiteral("3010");
        f.setup.storeGroup(group, g);
        QCOMPARE(f.setup.group(group).members.value(9), QStringLiteral("3010"));
    }
    f.setup.saveGroups();
    const PagerConfig reread = PagerConfig::load(f.dir);
    QStringList found;
    for (const int g : reread.definedGroups())
        found << QString::number(g);
    QCOMPARE(found, defined);
    QCOMPARE(reread.groupsLines(), f.pagers.groupsLines());
    QCOMPARE(readBytes(f.dir + "groups.ini").count("\r\n"), 170);
    if (defined.contains("2"))
        QCOMPARE(reread.group(2)->members.value(0), QStringLiteral("2001"));
    if (group)
        QCOMPARE(reread.group(group)->parity + reread.group(group)->dataBits +
                     reread.group(group)->stopBits + reread.group(group)->speed,
                 QStringLiteral("E711200"));
}

QTEST_GUILESS_MAIN(TestPagerSetup)
#include "tst_pagersetup.moc"
