#include "core/ProductLists.h"

#include <QTest>

class TestProductLists : public QObject
{
    Q_OBJECT
private slots:
    void capKeepsNewest();
    void localInsertion();
    void colours();
    void longHeaderEntries();
    void fileNamePart();
};

void TestProductLists::capKeepsNewest()
{
    ProductLists lists;
    for (int i = 0; i < 151; ++i)
        lists.addReceived(QStringLiteral("P%1").arg(i));
    QCOMPARE(lists.List2().count(), 150);
    QCOMPARE(lists.List2().text(0), QStringLiteral("P150"));
    QCOMPARE(lists.List2().text(149), QStringLiteral("P1"));
}

void TestProductLists::localInsertion()
{
    ProductLists lists;
    lists.setLocalCodes({"GRR", "=}", "=}"});
    const QString key = QStringLiteral("AFDGRR   ~KGRR~MI");
    QCOMPARE(lists.addLocal(key, key), 1);
    // A key matching two codes goes in twice.
    lists.setLocalCodes({"GRR", "RR", "=}"});
    QCOMPARE(lists.addLocal(key, key), 2);
    QCOMPARE(lists.List3().count(), 3);
    // Empty boxes: nothing is local.
    lists.setLocalCodes({"=}", "=}", "=}"});
    QCOMPARE(lists.addLocal(key, key), 0);
    QVERIFY(!ProductLists::isLocal(key, QString()));
}

void TestProductLists::colours()
{
    ProductLists lists;
    lists.setLocalCodes({"GRR", "=}", "=}"});
    lists.addReceived(QStringLiteral("AFDGRR   ~KGRR~MI"));
    lists.addReceived(QStringLiteral("TORGRR   ~KGRR~MI"));
    lists.addReceived(QStringLiteral("ZFPDTX   ~KDTX~MI"));
    lists.addReceived(QStringLiteral("SVSIWX   ~KIWX~IN"));
    lists.ColorList(2);
    const ProductListModel& l = lists.List2();
    QCOMPARE(*l.entry(0).foreground, QColor(255, 0, 0)); // SVS red on green
    QCOMPARE(*l.entry(0).background, QColor(0, 255, 0));
    QVERIFY(!l.entry(1).foreground.has_value());         // plain ZFP from elsewhere
    QCOMPARE(*l.entry(2).foreground, QColor(255, 0, 0)); // local TOR: category wins
    QCOMPARE(*l.entry(2).background, QColor(0, 0, 0));
    QCOMPARE(*l.entry(3).foreground, QColor(0, 0, 255)); // local AFD: blue on grey
    QCOMPARE(*l.entry(3).background, QColor(224, 224, 224));
}

void TestProductLists::longHeaderEntries()
{
    ProductLists lists;
    lists.setLongHeader(true);
    lists.setLocalCodes({"GRR", "=}", "=}"});
    const QString line = QStringLiteral("GRR~Tornado Warning").leftJustified(40, ' ') +
                         QStringLiteral("+TORGRR   ~KGRR~MI");
    lists.addReceived(line);
    lists.ColorList(2);
    QCOMPARE(*lists.List2().entry(0).foreground, QColor(255, 0, 0));
    QCOMPARE(ProductLists::fileNamePart(line), QStringLiteral("TORGRR   ~KGRR~MI"));
}

void TestProductLists::fileNamePart()
{
    QCOMPARE(ProductLists::fileNamePart(QStringLiteral("RADUSAPN-12051507.GIF")),
             QStringLiteral("RADUSAPN-12051507.GIF"));
    QCOMPARE(ProductLists::fileNamePart(QStringLiteral("a+b+c")), QStringLiteral("b+c"));
}

QTEST_GUILESS_MAIN(TestProductLists)
#include "tst_productlists.moc"
