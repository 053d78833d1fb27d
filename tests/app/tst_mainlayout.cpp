// The layout arithmetic over window sizes from tiny to wide: the bulletin
// area starts where the lists end, never gets a width below 1, grows with the
// window, and a window lower than the smallest height snaps to a height that
// needs no further snap.
#include "app/MainLayout.h"

#include <QTest>
#include <algorithm>

class TestMainLayout : public QObject
{
    Q_OBJECT
private slots:
    void anySize_data()
    {
        QTest::addColumn<bool>("longHeader");
        QTest::addColumn<bool>("smallScreen");
        for (const bool longHeader : {false, true}) {
            for (const bool smallScreen : {false, true})
                QTest::addRow("long %d, 640 %d", longHeader, smallScreen)
                    << longHeader << smallScreen;
        }
    }
    void anySize()
    {
        QFETCH(bool, longHeader);
        QFETCH(bool, smallScreen);
        const MainLayout layout(longHeader, smallScreen);
        int lastWidth = 0;
        for (const int width : {-100, 0, 1000, 2572, 3000, 7000, 10845, 15000}) {
            const MainLayout::Geometry g = layout.resize(width, MainLayout::ReferenceHeight);
            QCOMPARE(g.displayLeft, g.listWidth);
            QVERIFY(g.displayWidth >= 1);
            QVERIFY(g.displayWidth >= lastWidth);
            QVERIFY(g.displayLeft + g.displayWidth <= std::max(width, g.listWidth + 1));
            lastWidth = g.displayWidth;
        }
        QVERIFY(layout.compactWidth() > layout.listWidth());
        QVERIFY(layout.expandedWidth() > layout.compactWidth());
        for (const int height : {-5, 0, 4000, 5000, 5580, 7725, 12000}) {
            const MainLayout::Geometry g = layout.resize(MainLayout::ReferenceWidth, height);
            QVERIFY(g.height > 0);
            if (!g.windowHeight)
                continue;
            QVERIFY(*g.windowHeight > height);
            QVERIFY(!layout.resize(MainLayout::ReferenceWidth, *g.windowHeight).windowHeight);
        }
    }
};

QTEST_GUILESS_MAIN(TestMainLayout)
#include "tst_mainlayout.moc"
