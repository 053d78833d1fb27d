#include "ImageViewerFixture.h"
#include "images/FrameSelection.h"

#include <QTest>

using imagetest::stampedNames;

class TestImageFrames : public QObject
{
    Q_OBJECT
private slots:
    void frameWindow_data();
    void frameWindow();
    void duplicateStamps();
    void ageOrder_data();
    void ageOrder();
    void showPic_data();
    void showPic();
    void loopIntervals_data();
    void loopIntervals();
    void loopRunsOnTimer();
    void nhcOcean();
    void singleImage();
    void overtakenRequestDropped();
};

void TestImageFrames::frameWindow_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("firstIndex");
    QTest::newRow("none") << 0 << 0 << -1;
    QTest::newRow("one") << 1 << 1 << 0;
    QTest::newRow("ten") << 10 << 10 << 0;
    QTest::newRow("fourteen: the 10 newest") << 14 << 10 << 4;
}

void TestImageFrames::frameWindow()
{
    QFETCH(int, files);
    QFETCH(int, frames);
    QFETCH(int, firstIndex);
    ImageViewerFixture f;
    const QStringList names = stampedNames(QStringLiteral("RADALLUS"), files, "GIF");
    f.write(names);
    f.write({QStringLiteral("RADGLKUS-12051000.GIF")}); // another image name
    const QStringList window = FrameSelection::frameWindow(
        FrameSelection::frameNames(f.images, QStringLiteral("RADALLUS"), f.clock.now()));
    QCOMPARE(window.size(), frames);
    if (frames > 0) {
        QCOMPARE(window.first(), names.at(firstIndex));
        QCOMPARE(window.last(), names.last()); // oldest first, newest last
    }
}

void TestImageFrames::duplicateStamps()
{
    ImageViewerFixture f;
    f.write({"G16CIRUS-12051000.GIF", "G16CIRUS-12051000.JPG", "G16CIRUS-12051001.JPG",
             "G16CIRUS-12051002.GIF", "G16CIRUS-12051002.JPG"});
    const QStringList names =
        FrameSelection::frameNames(f.images, QStringLiteral("G16CIRUS"), f.clock.now());
    QCOMPARE(names, QStringList({"G16CIRUS-12051000.GIF", "G16CIRUS-12051001.JPG",
                                 "G16CIRUS-12051002.GIF"}));
    // The single-image search does not drop copies: the newest of either kind.
    QCOMPARE(FrameSelection::newestFile(f.images, QStringLiteral("G16CIRUS"), f.clock.now()),
             QStringLiteral("G16CIRUS-12051002.JPG"));
}

void TestImageFrames::ageOrder_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    const QStringList turn = {"RADALLUS-01010005.GIF", "RADALLUS-01010010.GIF",
                              "RADALLUS-12312350.GIF", "RADALLUS-12312355.GIF"};
    QTest::newRow("turn of the year") << QDateTime(QDate(2027, 1, 1), QTime(0, 12)) << turn
                                      << QStringList({turn[2], turn[3], turn[0], turn[1]});
    QTest::newRow("last December's files are old in June")
        << QDateTime(QDate(2027, 6, 1), QTime(12, 0))
        << QStringList({"RADALLUS-05311100.GIF", "RADALLUS-12311100.GIF"})
        << QStringList({"RADALLUS-12311100.GIF", "RADALLUS-05311100.GIF"});
    QTest::newRow("same year keeps name order")
        << QDateTime(QDate(2026, 12, 6), QTime(18, 0)) << turn.mid(0, 2) << turn.mid(0, 2);
    QTest::newRow("image names stay grouped")
        << QDateTime(QDate(2026, 12, 6), QTime(18, 0))
        << QStringList({"RADALLUS-12051100.GIF", "RADGLKUS-12051000.GIF"})
        << QStringList({"RADALLUS-12051100.GIF", "RADGLKUS-12051000.GIF"});
    QTest::newRow("29 February") << QDateTime(QDate(2027, 3, 1), QTime(1, 0))
                                 << QStringList({"RADALLUS-02290100.GIF", "RADALLUS-02280100.GIF"})
                                 << QStringList({"RADALLUS-02290100.GIF", "RADALLUS-02280100.GIF"});
}

void TestImageFrames::ageOrder()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, names);
    QTEST(FrameSelection::ordered(names, now), "expected");
}

void TestImageFrames::showPic_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("lastFrame");
    QTest::addColumn<bool>("looping");
    QTest::addColumn<bool>("status");
    QTest::newRow("none") << 0 << -1 << false << true;
    QTest::newRow("one: shown, no loop") << 1 << 0 << false << false;
    QTest::newRow("ten") << 10 << 9 << true << false;
    QTest::newRow("fourteen") << 14 << 9 << true << false;
}

void TestImageFrames::showPic()
{
    QFETCH(int, files);
    QFETCH(int, lastFrame);
    QFETCH(bool, looping);
    ImageViewerFixture f;
    const QStringList names = stampedNames(QStringLiteral("RADALLUS"), files, "JPG");
    f.write(names);
    QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
    QCOMPARE(f.settings.ImageShowing, QStringLiteral("RADALLUS"));
    QCOMPARE(f.viewer.LastFrame(), lastFrame);
    QCOMPARE(f.viewer.loopRunning(), looping);
    QCOMPARE(f.viewer.loopMenuEnabled(), looping);
    QCOMPARE(f.viewer.CurrentFrame(), 0);
    QTEST(f.viewer.statusVisible(), "status");
    if (files == 0) {
        QCOMPARE(f.viewer.statusText(), ImageViewer::NoImages);
        return;
    }
    QCOMPARE(f.viewer.pictureFile(), f.images + names.last()); // the newest shows first
    QCOMPARE(f.viewer.picture().size(), QSize(40, 30));
    QCOMPARE(f.viewer.frameNames().first(), names.at(files - 1 - lastFrame));
}

void TestImageFrames::loopIntervals_data()
{
    // Actions on a loop of 3 frames: t = tick, s = Slow. After each action:
    // the interval and the frame to show at the next tick.
    QTest::addColumn<QString>("actions");
    QTest::addColumn<QList<int>>("intervals");
    QTest::addColumn<QList<int>>("frames");
    QTest::newRow("frames 1 s, newest 5 s")
        << "ttt" << QList<int>{1000, 1000, 5000} << QList<int>{1, 2, 0};
    QTest::newRow("slow twice waits 3 s once")
        << "tsst" << QList<int>{1000, 2000, 3000, 1000} << QList<int>{1, 1, 1, 2};
    QTest::newRow("slow on the newest frame")
        << "ttts" << QList<int>{1000, 1000, 5000, 6000} << QList<int>{1, 2, 0, 0};
}

void TestImageFrames::loopIntervals()
{
    QFETCH(QString, actions);
    QFETCH(QList<int>, intervals);
    QFETCH(QList<int>, frames);
    ImageViewerFixture f;
    f.write(stampedNames(QStringLiteral("RADGLKUS"), 3, "GIF"));
    QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADGLKUS")); }));
    QCOMPARE(f.viewer.loopInterval(), ImageViewer::FrameInterval);
    for (int i = 0; i < actions.size(); ++i) {
        if (actions.at(i) == QLatin1Char('t'))
            f.viewer.showNextFrame();
        else
            f.viewer.setLoop(1);
        QCOMPARE(f.viewer.loopInterval(), intervals.at(i));
        QCOMPARE(f.viewer.CurrentFrame(), frames.at(i));
    }
}

void TestImageFrames::loopRunsOnTimer()
{
    ImageViewerFixture f;
    const QStringList names = stampedNames(QStringLiteral("RADGLKUS"), 3, "GIF");
    f.write(names);
    QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADGLKUS")); }));
    QSignalSpy shown(&f.viewer, &ImageViewer::pictureChanged);
    QVERIFY(shown.wait(2500)); // the first tick shows the oldest frame
    QCOMPARE(f.viewer.pictureFile(), f.images + names.first());
    for (int i = 0; i < 80; ++i)
        f.viewer.setLoop(1);
    QCOMPARE(f.viewer.loopInterval(), ImageViewer::SlowLimit); // no wait beyond 64 s
}

void TestImageFrames::nhcOcean()
{
    ImageViewerFixture f;
    f.write({"ANHC0TWO-12051000.GIF", "ENHC0TWO-12051000.GIF", "ENHC0TWO-12051100.GIF",
             "ENHC0CON-12051100.GIF"});
    f.viewer.chooseOcean(1);
    QCOMPARE(f.viewer.nhcPrefix(QStringLiteral("TWO")), QStringLiteral("E????TWO"));
    QVERIFY(f.run([&] { f.viewer.ShowPic(f.viewer.nhcPrefix(QStringLiteral("TWO"))); }));
    QCOMPARE(f.viewer.frameNames(),
             QStringList({"ENHC0TWO-12051000.GIF", "ENHC0TWO-12051100.GIF"}));
    f.viewer.chooseOcean(0);
    QCOMPARE(f.viewer.ocean(), QStringLiteral("A"));
}

void TestImageFrames::singleImage()
{
    ImageViewerFixture f;
    f.write(stampedNames(QStringLiteral("RADALLUS"), 4, "GIF"));
    f.write({"HURTRKAT-12051000.GIF", "HURTRKAT-12051200.JPG"});
    QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
    QVERIFY(f.viewer.loopRunning());
    QVERIFY(f.run([&] { f.viewer.showNewest(QStringLiteral("HURTRKAT")); }));
    QCOMPARE(f.viewer.pictureFile(), f.images + QStringLiteral("HURTRKAT-12051200.JPG"));
    QVERIFY(!f.viewer.loopRunning());
    QVERIFY(!f.viewer.loopMenuEnabled());
    QCOMPARE(f.viewer.LastFrame(), 3); // the loop's frames are kept
    QCOMPARE(f.settings.ImageShowing, QStringLiteral("RADALLUS"));
    QVERIFY(f.run([&] { f.viewer.showNewest(QStringLiteral("MODN5HUS")); }));
    QCOMPARE(f.viewer.statusText(), ImageViewer::NoImages);
    QVERIFY(f.viewer.statusVisible());
}

void TestImageFrames::overtakenRequestDropped()
{
    ImageViewerFixture f;
    f.write(stampedNames(QStringLiteral("G16CIRUS"), 10, "JPG"), QSize(900, 700));
    f.write(stampedNames(QStringLiteral("RADALLUS"), 2, "GIF"));
    QSignalSpy done(&f.viewer, &ImageViewer::requestFinished);
    f.viewer.ShowPic(QStringLiteral("G16CIRUS"));
    f.viewer.ShowPic(QStringLiteral("RADALLUS"));
    QVERIFY(f.viewer.busy());
    QVERIFY(done.wait(10000));
    f.loader.waitForDone();
    QCoreApplication::processEvents();
    QCOMPARE(done.count(), 1);
    QCOMPARE(f.viewer.LastFrame(), 1);
    QVERIFY(f.viewer.frameNames().first().startsWith(QLatin1String("RADALLUS")));
    QVERIFY(!f.viewer.busy());
}

QTEST_MAIN(TestImageFrames)
#include "tst_imageframes.moc"
