#include "core/ProductLists.h"

#include <QTest>

class TestProductLists : public QObject
{
    Q_OBJECT
private slots:
    void capKeepsNewest();
    void localInsertion();
    void colours();
    void longHeaderEntries_data();
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

void TestProductLists::longHeaderEntries_data()
{
    QTest::addColumn<int>("num");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QColor>("foreground"); // invalid: no colour
    const QString tor = QStringLiteral("GRR~Tornado Warning").leftJustified(40, ' ') +
                        QStringLiteral("+TORGRR   ~KGRR~MI");
    const QString afd = QStringLiteral("GRR~Area Forecast Discussion").leftJustified(40, ' ') +
                        QStringLiteral("+AFDGRR   ~KGRR~MI");
    // With long entries on, a product whose category has no menu item is
    // listed under its bare key; every list takes the key the same way.
    QTest::newRow("live, long entry") << 2 << tor << QColor(255, 0, 0);
    QTest::newRow("live, bare key") << 2 << "SVRDTX   ~KDTX~MI" << QColor(255, 255, 0);
    QTest::newRow("live, local bare key") << 2 << "ZFPGRR   ~KGRR~MI" << QColor(0, 0, 255);
    QTest::newRow("local, long entry") << 3 << tor << QColor(255, 0, 0);
    QTest::newRow("local, long AFD keeps none") << 3 << afd << QColor();
    QTest::newRow("alarm, long entry") << 4 << tor << QColor(255, 0, 0);
    QTest::newRow("filter, long local entry") << 1 << afd << QColor(0, 0, 255);
}

void TestProductLists::longHeaderEntries()
{
    QFETCH(int, num);
    QFETCH(QString, entry);
    QFETCH(QColor, foreground);
    ProductLists lists;
    lists.setLongHeader(true);
    lists.setLocalCodes({"GRR", "=}", "=}"});
    lists.list(num).insertTop(entry, 0);
    lists.ColorList(num);
    const ProductListModel::Entry& e = lists.list(num).entry(0);
    if (!foreground.isValid()) {
        QVERIFY(!e.foreground.has_value());
        return;
    }
    QVERIFY(e.foreground.has_value());
    QCOMPARE(*e.foreground, foreground);
    QCOMPARE(ProductLists::fileNamePart(entry).left(3), entry.right(17).left(3));
}

void TestProductLists::fileNamePart()
{
    QCOMPARE(ProductLists::fileNamePart(QStringLiteral("RADUSAPN-12051507.GIF")),
             QStringLiteral("RADUSAPN-12051507.GIF"));
    QCOMPARE(ProductLists::fileNamePart(QStringLiteral("a+b+c")), QStringLiteral("b+c"));
}

QTEST_GUILESS_MAIN(TestProductLists)
#include "tst_productlists.moc"
