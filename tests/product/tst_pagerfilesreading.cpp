// The pager files as the program and the paging program both read them.

#include "TestSupport.h"

#include "platform/RuntimeError.h"
#include "product/PagerFiles.h"

#include <QFile>
#include <QtTest>

class tst_pagerfilesreading : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(tst_pagerfilesreading)
#include "tst_pagerfilesreading.moc"
