#include "app/MainLayout.h"

#include <QTest>

class TestMainLayout : public QObject
{
    Q_OBJECT
private slots:
    void widths_data();
    void widths();
    void heights_data();
    void heights();
    void compactAndExpanded();
};

void TestMainLayout::widths_data()
{
    QTest::addColumn<bool>("longHeader");
    QTest::addColumn<int>("windowWidth");
    QTest::addColumn<int>("listWidth");
    QTest::addColumn<int>("displayWidth");
    QTest::addColumn<int>("fontSize");
    QTest::newRow("long, reference") << true << 10845 << 3100 << 7645 << 8;
    QTest::newRow("short, reference") << false << 10845 << 2445 << 8275 << 9;
    QTest::newRow("long, wider") << true << 15000 << 3100 << 11800 << 8;
    QTest::newRow("long, 3000 clamps to 1") << true << 3000 << 3100 << 1 << 8;
    QTest::newRow("short, tiny clamps to 1") << false << 1000 << 2445 << 1 << 9;
    QTest::newRow("short, just above clamp") << false << 2572 << 2445 << 2 << 9;
}

void TestMainLayout::widths()
{
    QFETCH(bool, longHeader);
    QFETCH(int, windowWidth);
    QFETCH(int, listWidth);
    QFETCH(int, displayWidth);
    QFETCH(int, fontSize);
    const MainLayout::Geometry g = MainLayout(longHeader, false).resize(windowWidth, 7725);
    QCOMPARE(g.listWidth, listWidth);
    QCOMPARE(g.displayLeft, listWidth);
    QCOMPARE(g.displayWidth, displayWidth);
    QCOMPARE(g.defaultFontSize, fontSize);
}

void TestMainLayout::heights_data()
{
    QTest::addColumn<bool>("smallScreen");
    QTest::addColumn<int>("windowHeight");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("snap"); // 0 = none
    QTest::newRow("normal, reference") << false << 7725 << 5920 << 0;
    QTest::newRow("normal, smallest") << false << 5580 << 3775 << 0;
    QTest::newRow("normal, too low snaps") << false << 5000 << 3775 << 5580;
    QTest::newRow("640, reference") << true << 6795 << 7000 << 0;
    QTest::newRow("640, too low snaps") << true << 4000 << 5000 << 4795;
}

void TestMainLayout::heights()
{
    QFETCH(bool, smallScreen);
    QFETCH(int, windowHeight);
    QFETCH(int, height);
    QFETCH(int, snap);
    const MainLayout::Geometry g = MainLayout(false, smallScreen).resize(10845, windowHeight);
    QCOMPARE(g.height, height);
    QCOMPARE(g.windowHeight.value_or(0), snap);
}

void TestMainLayout::compactAndExpanded()
{
    QCOMPARE(MainLayout(true, false).compactWidth(), 3210);
    QCOMPARE(MainLayout(false, false).compactWidth(), 2535);
    QCOMPARE(MainLayout(false, false).expandedWidth(), 10845);
    QCOMPARE(MainLayout(true, true).expandedWidth(), 9570);
}

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
