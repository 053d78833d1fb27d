#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/PagerConfig.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <QTest>

namespace {
PagerConfig sampleConfig()
{
    PagerConfig c;
    c.personalId = QStringLiteral("ATM1");
    c.pagerNumber = QStringLiteral("5551234");
    c.dialup = QStringLiteral("5559876");
    c.speed = QStringLiteral("2400");
    c.parity = QStringLiteral("N");
    c.dataBits = QStringLiteral("8");
    c.stopBits = QStringLiteral("1");
    c.charsPerPage = QStringLiteral("80");
    PagerConfig::Group& one = c.groups[0];
    one.dialup = QStringLiteral("5550001");
    one.speed = QStringLiteral("1200");
    one.parity = QStringLiteral("E");
    one.dataBits = QStringLiteral("7");
    one.stopBits = QStringLiteral("2");
    one.chars = QStringLiteral("120");
    one.members[0] = QStringLiteral("1001");
    one.members[9] = QStringLiteral("1010");
    c.groups[2].chars = QStringLiteral("60");
    c.groups[2].members[4] = QStringLiteral("3005");
    return c;
}

void compareConfigs(const PagerConfig& a, const PagerConfig& b)
{
    QCOMPARE(a.usersLines(), b.usersLines());
    QCOMPARE(a.groupsLines(), b.groupsLines());
    QCOMPARE(a.personalId, b.personalId);
    QCOMPARE(a.charsPerPage, b.charsPerPage);
    QCOMPARE(a.parity + a.dataBits + a.stopBits, b.parity + b.dataBits + b.stopBits);
    for (int g = 0; g < PagerConfig::GroupCount; ++g) {
        QCOMPARE(a.groups[g].chars, b.groups[g].chars);
        QCOMPARE(a.groups[g].members, b.groups[g].members);
        QCOMPARE(a.groups[g].speed, b.groups[g].speed);
    }
}
} // namespace

class TestPagerFiles : public QObject
{
    Q_OBJECT
private slots:
    void usersIniLayout();
    void roundTrip();
    void missingFiles();
    void lineBreakInFieldKeepsLayout();
    void emailUsers();
    void emailUsersLimit();
};

void TestPagerFiles::usersIniLayout()
{
    TestHome home;
    sampleConfig().saveUsers(home.path());
    QCOMPARE(readBytes(home.file("users.ini")),
             QByteArray("ATM1\r\n5551234\r\n5559876\r\n\r\n2400\r\n,N,8,1\r\n80\r\n\r\n"));
    sampleConfig().saveGroups(home.path() + "/");
    const QByteArray groups = readBytes(home.file("groups.ini"));
    QCOMPARE(groups.count("\r\n"), 170);
    QVERIFY(groups.startsWith("GROUP1\r\n5550001\r\n\r\n1200\r\n,E,7,2\r\n120\r\n1001\r\n"));
    QVERIFY(groups.contains("\r\n1010\r\n\r\nGROUP2\r\n\r\n\r\n\r\n,,,\r\n\r\n"));
    // A users.ini written by hand with LF ends reads the same.
    const QString dir = home.path() + "/lf/";
    home.write("lf/users.ini", "ATM2\n555\n556\n\n9600\n,E,7,2\n100\n\n");
    const PagerConfig c = PagerConfig::load(dir);
    QCOMPARE(c.personalId, QStringLiteral("ATM2"));
    QCOMPARE(c.speed, QStringLiteral("9600"));
    QCOMPARE(c.parity + c.dataBits + c.stopBits, QStringLiteral("E72"));
    QCOMPARE(c.charsPerPage, QStringLiteral("100"));
    QVERIFY(c.definedGroups().isEmpty());
}

void TestPagerFiles::roundTrip()
{
    TestHome home;
    const PagerConfig written = sampleConfig();
    written.saveUsers(home.path());
    written.saveGroups(home.path());
    const PagerConfig read = PagerConfig::load(home.path());
    compareConfigs(read, written);
    QCOMPARE(read.definedGroups(), QList<int>({1, 3}));
    QCOMPARE(read.group(3)->members.value(4), QStringLiteral("3005"));
    QVERIFY(read.group(0) == nullptr);
    QVERIFY(read.group(11) == nullptr);
    // Read and written again without change: the same bytes.
    const QByteArray before = readBytes(home.file("groups.ini"));
    read.saveGroups(home.path());
    QCOMPARE(readBytes(home.file("groups.ini")), before);
}

void TestPagerFiles::missingFiles()
{
    TestHome home;
    try {
        PagerConfig::load(home.file("no-such-dir/"));
        QFAIL("no error for a missing directory");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::PathNotFound);
        QVERIFY(error.text().contains(QStringLiteral("users.ini")));
    }
    // Only groups.ini: the personal pager stays empty, the groups are read.
    sampleConfig().saveGroups(home.path());
    PagerConfig c = PagerConfig::load(home.path());
    QVERIFY(c.personalId.isEmpty());
    QCOMPARE(c.definedGroups(), QList<int>({1, 3}));
    // A short users.ini gives what it has.
    home.write("users.ini", "ATM9\r\n");
    QFile::remove(home.file("groups.ini"));
    c = PagerConfig::load(home.path());
    QCOMPARE(c.personalId, QStringLiteral("ATM9"));
    QVERIFY(c.charsPerPage.isEmpty());
    QVERIFY(c.definedGroups().isEmpty());
}

void TestPagerFiles::lineBreakInFieldKeepsLayout()
{
    TestHome home;
    PagerConfig c = sampleConfig();
    c.personalId = QStringLiteral("ATM\r\n1");
    c.groups[0].members[0] = QStringLiteral("10\n01");
    c.saveUsers(home.path());
    c.saveGroups(home.path());
    const PagerConfig read = PagerConfig::load(home.path());
    QCOMPARE(read.personalId, QStringLiteral("ATM1"));
    QCOMPARE(read.charsPerPage, QStringLiteral("80"));
    QCOMPARE(read.groups[0].members[0], QStringLiteral("1001"));
    QCOMPARE(read.definedGroups(), QList<int>({1, 3}));
}

void TestPagerFiles::emailUsers()
{
    TestHome home;
    const QString path = home.write("email-users.txt", "# forecasters\r\n"
                                                       "Ops*ops@example.org;duty@example.org\r\n"
                                                       "no separator here\r\n"
                                                       "\r\n"
                                                       "Chief*chief@example.org\r\n"
                                                       "END\r\n"
                                                       "Late*late@example.org\r\n");
    EmailBook book;
    book.loadUsers(path, QStringLiteral("me@example.org"));
    QCOMPARE(book.count(), 2);
    QCOMPARE(book.names(), QStringList({"Ops", "Chief"}));
    QCOMPARE(book.address(0), QStringLiteral("me@example.org"));
    QCOMPARE(book.address(1), QStringLiteral("ops@example.org,duty@example.org"));
    QCOMPARE(book.address(2), QStringLiteral("chief@example.org"));
    QVERIFY(book.address(3).isEmpty());
    QVERIFY(book.address(251).isEmpty());
    QVERIFY(book.address(-1).isEmpty());
    // Missing file: only the own address.
    book.loadUsers(home.file("none.txt"), QStringLiteral("me@example.org"));
    QCOMPARE(book.count(), 0);
    QCOMPARE(book.address(0), QStringLiteral("me@example.org"));
    QVERIFY(book.address(1).isEmpty());
}

void TestPagerFiles::emailUsersLimit()
{
    TestHome home;
    QByteArray text;
    for (int i = 1; i <= 300; ++i)
        text += "G" + QByteArray::number(i) + "*g" + QByteArray::number(i) + "@x.org\n";
    EmailBook book;
    book.loadUsers(home.write("email-users.txt", text), QString());
    QCOMPARE(book.count(), EmailBook::MaxEntries);
    QCOMPARE(book.name(249), QStringLiteral("G250"));
    QCOMPARE(book.address(250), QStringLiteral("g250@x.org"));
    book.setAddress(250, QStringLiteral("new@x.org"));
    QCOMPARE(book.address(250), QStringLiteral("new@x.org"));
}

QTEST_GUILESS_MAIN(TestPagerFiles)
#include "tst_pagerfiles.moc"
