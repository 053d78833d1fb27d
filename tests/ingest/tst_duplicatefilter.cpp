#include "TestSupport.h"
#include "ingest/DuplicateFilter.h"

#include <QFile>
#include <QTest>

// One product, one filing: the same product from the broadcast and from the
// Weather Wire is known as the same; corrections and other texts are not.
class TestDuplicateFilter : public QObject
{
    Q_OBJECT
private slots:
    void sameProduct_data();
    void sameProduct();
    void forgottenAfterAnHour();
    void rememberedAcrossRestart();
    void dropsAreLogged();
};

namespace {
const QByteArray kBroadcast = "\x01\r\r\n123 \r\r\nWFUS53 KGRR 051200\r\r\nTORGRR\r\r\n\r\r\n"
                              "TORNADO WARNING \r\r\n$$\r\r\n\x03\r\r\n";
const QByteArray kWire = "WFUS53 KGRR 051200\r\r\nTORGRR\r\r\n\r\r\nTORNADO WARNING\r\r\n$$\r\r\n";
} // namespace

void TestDuplicateFilter::sameProduct_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<bool>("duplicate");
    QTest::newRow("broadcast framing and padding, wire form") << kBroadcast << kWire << true;
    QTest::newRow("LF line ends") << kWire << QByteArray(kWire).replace("\r\r\n", "\n") << true;
    QTest::newRow("trailing blank lines") << kWire << kWire + "\r\r\n\r\r\n" << true;
    QTest::newRow("trailing blanks, tabs and CRs mixed")
        << kWire << QByteArray(kWire).replace("WARNING\r", "WARNING \t\r \r") << true;
    QTest::newRow("CR inside a line")
        << kWire << QByteArray(kWire).replace("TORNADO W", "TORNADO\r W") << true;
    QTest::newRow("correction (BBB)")
        << kWire << QByteArray(kWire).replace("051200", "051200 CCA") << false;
    QTest::newRow("other issue time")
        << kWire << QByteArray(kWire).replace("051200", "051201") << false;
    QTest::newRow("other text") << kWire << QByteArray(kWire).replace("TORNADO", "TORNADOS")
                                << false;
    QTest::newRow("blank inside a line counts")
        << kWire << QByteArray(kWire).replace("TORNADO W", "TORNADO  W") << false;
    QTest::newRow("no heading is never a duplicate")
        << QByteArray("HELLO\r\r\n") << QByteArray("HELLO\r\r\n") << false;
}

void TestDuplicateFilter::sameProduct()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(bool, duplicate);
    TestHome home;
    FakeClock clock;
    DuplicateFilter filter(home.file(QStringLiteral("recent.txt")), QString(), clock);
    QVERIFY(!filter.seenBefore(DuplicateFilter::identity(first), QStringLiteral("A")));
    filter.remember(DuplicateFilter::identity(first));
    QCOMPARE(filter.seenBefore(DuplicateFilter::identity(second), QStringLiteral("B")), duplicate);
    QCOMPARE(filter.dropped(), duplicate ? 1 : 0);
}

void TestDuplicateFilter::forgottenAfterAnHour()
{
    TestHome home;
    FakeClock clock;
    DuplicateFilter filter(home.file(QStringLiteral("recent.txt")), QString(), clock);
    filter.remember(DuplicateFilter::identity(kWire));
    clock.current = clock.current.addSecs(DuplicateFilter::WindowSeconds - 1);
    QVERIFY(filter.seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("B")));
    clock.current = clock.current.addSecs(1);
    QVERIFY(!filter.seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("B")));
}

void TestDuplicateFilter::rememberedAcrossRestart()
{
    TestHome home;
    FakeClock clock;
    const QString record = home.file(QStringLiteral("track/recent.txt"));
    {
        DuplicateFilter filter(record, QString(), clock);
        filter.remember(DuplicateFilter::identity(kWire));
    }
    clock.current = clock.current.addSecs(600);
    {
        DuplicateFilter filter(record, QString(), clock);
        QVERIFY(filter.seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("B")));
    }
    // a record written by an earlier version: the same identities
    QFile earlier(record);
    QVERIFY(earlier.open(QIODevice::WriteOnly));
    earlier.write(QByteArray::number(clock.current.toSecsSinceEpoch()) +
                  " WFUS53 KGRR 051200 "
                  "4645cd6916f7e682ca19bbba7f2bbd8a20ce7257c5b1c1e44b8417ed6fe3a0af\n");
    earlier.close();
    QVERIFY(DuplicateFilter(record, QString(), clock)
                .seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("B")));
    // a damaged record costs the memory, not the program
    QFile damaged(record);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(100000, 'x') + "\nnot a line\n\x00\x01");
    damaged.close();
    DuplicateFilter filter(record, QString(), clock);
    QVERIFY(!filter.seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("B")));
}

void TestDuplicateFilter::dropsAreLogged()
{
    TestHome home;
    FakeClock clock;
    const QString log = home.file(QStringLiteral("track/duplicates.log"));
    DuplicateFilter filter(home.file(QStringLiteral("track/recent.txt")), log, clock);
    filter.remember(DuplicateFilter::identity(kWire));
    QVERIFY(
        filter.seenBefore(DuplicateFilter::identity(kBroadcast), QStringLiteral("TORGRRMI.TXT")));
    QVERIFY(filter.seenBefore(DuplicateFilter::identity(kWire), QStringLiteral("TORGRRMI.TXT@1")));
    const QByteArray text = readBytes(log);
    QCOMPARE(text.count('\n'), 2);
    QVERIFY2(text.contains("dropped TORGRRMI.TXT@1 (filed before: WFUS53 KGRR 051200), 2 dropped"),
             text.constData());
}

QTEST_GUILESS_MAIN(TestDuplicateFilter)
#include "tst_duplicatefilter.moc"
