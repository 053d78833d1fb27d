// The pager files: written by the program's set-up, read back by the
// program and the paging program alike.
#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/PagerConfig.h"
#include "platform/RuntimeError.h"
#include "product/PagerFiles.h"

#include <QFile>
#include <QTest>
#include <QtTest>

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

    void users_data()
    {
        QTest::addColumn<QString>("text");
        // id|number|dialup|speed|parity|dataBits|stopBits|chars
        QTest::addColumn<QString>("fields");
        QTest::newRow("as written")
            << "ATM1\r\n5551234\r\n5559876\r\n\r\n2400\r\n,N,8,1\r\n80\r\n\r\n"
            << "ATM1|5551234|5559876|2400|N|8|1|80";
        QTest::newRow("values kept with their blanks") << " ATM1 \n555 \n\n\n2400\n,E,7,2\n 100\n"
                                                       << " ATM1 |555 ||2400|E|7|2| 100";
        QTest::newRow("serial values missing") << "A\nB\nC\n\n9600\n,,,\n"
                                               << "A|B|C|9600||||";
        QTest::newRow("serial line cut short") << "A\n\n\n\n\n,E"
                                               << "A||||E|||";
        QTest::newRow("three lines") << "A\nB\nC"
                                     << "A|B|C|||||";
        QTest::newRow("empty") << ""
                               << "|||||||";
    }
    void users()
    {
        QFETCH(QString, text);
        QFETCH(QString, fields);
        TestHome home;
        const auto lines = PagerFiles::readLines(home.write("users.ini", text.toLatin1()));
        QVERIFY(lines);
        const PagerFiles::Personal p = PagerFiles::readUsers(*lines);
        QCOMPARE(QStringList({p.id, p.pagerNumber, p.dialup, p.speed, p.parity, p.dataBits,
                              p.stopBits, p.charsPerPage})
                     .join(QLatin1Char('|')),
                 fields);
    }

    void groups()
    {
        QStringList lines;
        for (int g = 1; g <= PagerFiles::GroupCount; ++g) {
            lines << QStringLiteral("GROUP%1").arg(g) << QStringLiteral("555000%1").arg(g)
                  << QString() << QStringLiteral("1200") << QStringLiteral(",E,7,1")
                  << (g % 2 ? QStringLiteral("40") : QStringLiteral("  "));
            for (int m = 1; m <= PagerFiles::MemberCount; ++m)
                lines << QStringLiteral("%1%2").arg(g).arg(m, 2, 10, QLatin1Char('0'));
            lines << QString();
        }
        const PagerFiles::Groups groups = PagerFiles::readGroups(lines);
        for (int g = 0; g < PagerFiles::GroupCount; ++g) {
            QCOMPARE(groups[g].dialup, QStringLiteral("555000%1").arg(g + 1));
            QCOMPARE(groups[g].parity + groups[g].dataBits + groups[g].stopBits, "E71");
            QCOMPARE(groups[g].defined(), g % 2 == 0);
            QCOMPARE(groups[g].members.size(), PagerFiles::MemberCount);
            QCOMPARE(groups[g].members.first(), QString::number(g + 1) + QStringLiteral("01"));
            QCOMPARE(groups[g].members.last(), QString::number(g + 1) + QStringLiteral("10"));
        }
        // A file cut inside group 2: group 2 has what was there, the rest nothing.
        const PagerFiles::Groups cut = PagerFiles::readGroups(lines.mid(0, 21));
        QCOMPARE(cut[1].speed, QStringLiteral("1200"));
        QVERIFY(!cut[1].defined());
        QCOMPARE(cut[2].members, QStringList(PagerFiles::MemberCount));
    }

    void files()
    {
        TestHome home;
        QVERIFY(!PagerFiles::readLines(home.file("users.ini")));
        // Only the head of an oversized file is read.
        QByteArray big = "ATM1\r\n";
        big += QByteArray(PagerFiles::MaxFileBytes * 2, 'x');
        const auto lines = PagerFiles::readLines(home.write("users.ini", big));
        QVERIFY(lines);
        QCOMPARE(lines->first(), QStringLiteral("ATM1"));
        QCOMPARE(lines->join(QString()).size(), PagerFiles::MaxFileBytes - 6 + 4);
        QFile::setPermissions(home.file("users.ini"), QFileDevice::WriteOwner);
        if (QFile(home.file("users.ini")).open(QIODevice::ReadOnly))
            QSKIP("files stay readable without permission (running as root)");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, PagerFiles::readLines(home.file("users.ini")));
    }
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
