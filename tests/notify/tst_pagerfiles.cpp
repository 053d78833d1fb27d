// The pager files users.ini and groups.ini and the two pager settings: kept
// by the setup dialogs, written whole, read back the same by the program and
// the paging program alike.
#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/PagerConfig.h"
#include "notify/PagerSetup.h"
#include "platform/RuntimeError.h"
#include "product/PagerFiles.h"

#include <QDir>
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

class TestPagerFiles : public QObject
{
    Q_OBJECT
private slots:
    void usersIniLayout()
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
    void roundTrip()
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
    void missingFiles()
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
    void lineBreakInFieldKeepsLayout()
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
    void emailUsers()
    {
        TestHome home;
        const QString path =
            home.write("email-users.txt", "# forecasters\r\n"
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
    void emailUsersLimit()
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

    void groupsRead()
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

    void personalSaveAndReload()
    {
        Fixture f;
        f.setup.savePersonal(personal());
        QCOMPARE(
            readBytes(f.dir + "users.ini"),
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
    void currentValues()
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
    void failedSaveChangesNothing()
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
    void pagerNumber_data()
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
    void pagerNumber()
    {
        QFETCH(QString, number);
        QFETCH(bool, acceptable);
        QCOMPARE(PagerSetup::pagerNumberAcceptable(number), acceptable);
    }
    void memberPins_data()
    {
        QTest::addColumn<QStringList>("members");
        QTest::addColumn<QString>("problem");
        QTest::newRow("digits and letters, gaps") << QStringList{"1001", "", "ab12", " 7 "} << "";
        QTest::newRow("sixteen characters") << QStringList{QString(16, QLatin1Char('9'))} << "";
        QTest::newRow("dash")
            << QStringList{"1001", "", "555-1234"}
            << "Member 3: pager PIN \"555-1234\" cannot be paged. Use letters and digits only "
               "(at most 16), no dashes or blanks.";
        QTest::newRow("blank inside")
            << QStringList{"555 1234"} << "Member 1: pager PIN \"555 1234\"";
        QTest::newRow("seventeen characters")
            << QStringList{"", QString(17, QLatin1Char('9'))} << "Member 2: pager PIN";
        QTest::newRow("other digits") << QStringList{"\u0665\u0665"} << "Member 1: pager PIN";
    }
    void memberPins()
    {
        QFETCH(QStringList, members);
        QFETCH(QString, problem);
        PagerConfig::Group group;
        for (int m = 0; m < members.size(); ++m)
            group.members[m] = members.at(m);
        const QString found = PagerSetup::memberPinProblem(group);
        QVERIFY2(problem.isEmpty() ? found.isEmpty() : found.startsWith(problem),
                 qPrintable(found));
    }
    void groups_data()
    {
        QTest::addColumn<QByteArray>("fileBefore"); // groups.ini as found; empty: none
        QTest::addColumn<int>("group");             // group stored; 0: none
        QTest::addColumn<QStringList>("defined");   // groups with characters per page after closing

        // Group 1 empty, group 2 defined, the rest of the file missing.
        const QByteArray twoFile = QByteArray("GROUP1\r\n") + QByteArray("\r\n").repeated(16) +
                                   "GROUP2\r\n5550002\r\n\r\n9600\r\n,E,7,2\r\n100\r\n2001\r\n";
        QTest::newRow("no file, group 3 saved") << QByteArray() << 3 << QStringList{"3"};
        QTest::newRow("closed without saving keeps what was read")
            << twoFile << 0 << QStringList{"2"};
        QTest::newRow("group 1 added beside group 2") << twoFile << 1 << QStringList{"1", "2"};
        QTest::newRow("group 10") << twoFile << 10 << QStringList{"2", "10"};
    }
    void groups()
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
};

QTEST_GUILESS_MAIN(TestPagerFiles)
#include "tst_pagerfiles.moc"
