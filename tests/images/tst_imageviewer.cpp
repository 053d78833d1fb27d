// The image viewer: which frames it shows and loops, how it loads them (both
// decoders, the frame cache and its budget, bounds on pixels and bytes, bad
// files quarantined), and the slide show that runs through it.

#include "ImageViewerFixture.h"
#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/FrameSelection.h"
#include "images/ISlideTarget.h"
#include "images/ISlideViewer.h"
#include "images/SlideFile.h"
#include "images/SlideShow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using imagetest::stampedNames;

Q_DECLARE_METATYPE(FrameRequest::Kind)

Q_DECLARE_METATYPE(SlideFile::Kind)

namespace {

// Records what the slide show asks for; a requested text product is shown
// from the text directory as the manual entry box would show it.
struct Recorder : ISlideTarget, ISlideViewer
{
    DisplayState* display = nullptr;
    QString textPath;
    QStringList calls;

    void requestTextProduct(const QString& name) override
    {
        calls << QStringLiteral("text ") + name;
        const QStringList found = QDir(textPath).entryList({name + QLatin1Char('*')});
        if (found.isEmpty())
            display->setDisplay(QStringLiteral("     --- Product not available ---"));
        else
            display->setDisplay(QString::fromLatin1(readBytes(textPath + found.first())),
                                found.first());
    }
    void hideForText() override { calls << QStringLiteral("hide"); }
    void showLoop(const QString& name) override { calls << QStringLiteral("loop ") + name; }
    void showSingle(const QString& name) override { calls << QStringLiteral("single ") + name; }
};

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    Settings settings;
    DisplayState display;
    StatusLine status;
    ScriptedPrompter prompter;
    Recorder recorder;
    SlideShow show{{programDir, settings, display, status, prompter, recorder, recorder}};

    Fixture()
    {
        settings.TextPath = home.path() + QStringLiteral("/text/");
        QDir().mkpath(programDir);
        QDir().mkpath(settings.TextPath);
        recorder.display = &display;
        recorder.textPath = settings.TextPath;
    }
    void slides(const QByteArray& text, const QString& name = SlideFile::FileName)
    {
        home.write(QStringLiteral("prog/") + name, text);
    }
    QString last() const { return recorder.calls.isEmpty() ? QString() : recorder.calls.last(); }
};
} // namespace

class TestImageViewer : public QObject
{
    Q_OBJECT
private slots:
    void frameWindow_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("firstIndex");
        QTest::newRow("none") << 0 << 0 << -1;
        QTest::newRow("one") << 1 << 1 << 0;
        QTest::newRow("ten") << 10 << 10 << 0;
        QTest::newRow("fourteen: the 10 newest") << 14 << 10 << 4;
    }
    void frameWindow()
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
    void duplicateStamps()
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
    void ageOrder_data()
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
        QTest::newRow("29 February")
            << QDateTime(QDate(2027, 3, 1), QTime(1, 0))
            << QStringList({"RADALLUS-02290100.GIF", "RADALLUS-02280100.GIF"})
            << QStringList({"RADALLUS-02290100.GIF", "RADALLUS-02280100.GIF"});
    }
    void ageOrder()
    {
        QFETCH(QDateTime, now);
        QFETCH(QStringList, names);
        QTEST(FrameSelection::ordered(names, now), "expected");
    }
    void showPic_data()
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
    void showPic()
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
    void loopIntervals_data()
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
    void loopIntervals()
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
    void loopRunsOnTimer()
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
    void nhcOcean()
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
    void singleImage()
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
    void overtakenRequestDropped()
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

    void decodesBothKinds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("gif") << "RADALLUS-12051000.GIF";
        QTest::newRow("jpg") << "G16CIRUS-12051000.JPG";
        QTest::newRow("lower-case extension") << "RADALLUS-12051000.gif";
    }
    void decodesBothKinds()
    {
        QFETCH(QString, name);
        TestHome home;
        const QString path = imagetest::writeImage(home.path(), name, QSize(123, 45));
        QString error;
        const std::optional<QImage> image = FrameLoader::decode(path, nullptr, &error);
        QVERIFY2(image.has_value(), qPrintable(error));
        QCOMPARE(image->size(), QSize(123, 45));
        QCOMPARE(image->format(), QImage::Format_RGB32); // ready to paint
    }
    void cacheSparesRereading()
    {
        ImageViewerFixture f;
        const QStringList names = imagetest::stampedNames(QStringLiteral("RADALLUS"), 4, "GIF");
        f.write(names);
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
        QCOMPARE(f.cache.misses(), 4);
        QCOMPARE(f.cache.count(), 4);
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
        QCOMPARE(f.cache.hits(), 4); // nothing decoded again

        // A newer file replacing a frame is decoded again.
        imagetest::writeImage(f.images, names.at(1), QSize(60, 50), 9);
        QFile(f.images + names.at(1))
            .setFileTime(QDateTime::currentDateTime().addSecs(5),
                         QFileDevice::FileModificationTime);
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
        QCOMPARE(f.cache.misses(), 5);
        f.viewer.showNextFrame();
        f.viewer.showNextFrame();
        QCOMPARE(f.viewer.picture().size(), QSize(60, 50));
    }
    void cacheBudget()
    {
        const QImage frame(100, 100, QImage::Format_RGB32); // 40000 bytes
        FrameCache cache(100000);
        const QDateTime t = QDateTime::currentDateTime();
        cache.insert("a", 1, t, frame);
        cache.insert("b", 1, t, frame);
        QVERIFY(cache.find("a", 1, t)); // a is now used more recently than b
        cache.insert("c", 1, t, frame);
        QCOMPARE(cache.count(), 2);
        QVERIFY(!cache.find("b", 1, t));
        QVERIFY(cache.find("a", 1, t));
        QVERIFY(!cache.find("a", 2, t)); // another size: the file has changed
        QVERIFY(cache.bytes() <= 100000);
    }
    void badImageQuarantined_data()
    {
        QTest::addColumn<FrameRequest::Kind>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason"); // in the status line; empty: the decoder's words
        const QString tooLarge = QStringLiteral("picture too large");
        QTest::newRow("loop, empty file") << FrameRequest::Kind::Loop << QByteArray() << QString();
        QTest::newRow("loop, text")
            << FrameRequest::Kind::Loop << QByteArray("not a picture\r\n") << QString();
        QTest::newRow("loop, header only")
            << FrameRequest::Kind::Loop << QByteArray("GIF89a") << QString();
        QTest::newRow("newest, text")
            << FrameRequest::Kind::Newest << QByteArray("<html>") << QString();
        QTest::newRow("file, header only")
            << FrameRequest::Kind::File << QByteArray("GIF89a\x01") << QString();
        // Decompression bombs: a few bytes that would decode into a picture of
        // 130 MB and more are refused from their header.
        QTest::newRow("loop, GIF declaring a 5700x5700 screen")
            << FrameRequest::Kind::Loop << imagetest::gifScreenBomb(5700, 5700) << tooLarge;
        QTest::newRow("file, GIF declaring a 5700x5700 screen")
            << FrameRequest::Kind::File << imagetest::gifScreenBomb(5700, 5700) << tooLarge;
        QTest::newRow("newest, JPG declaring 8000x6000")
            << FrameRequest::Kind::Newest << imagetest::jpgDeclaring(8000, 6000) << tooLarge;
        // A whole file is never read into memory: a file above the size limit
        // is refused before it is opened, however good its picture.
        QTest::newRow("loop, file above the size limit")
            << FrameRequest::Kind::Loop
            << imagetest::gifBytes(imagetest::picture(QSize(20, 10))) +
                   QByteArray(FrameLimits().fileBytes, '\0')
            << QStringLiteral("file too large");
    }
    void badImageQuarantined()
    {
        QFETCH(FrameRequest::Kind, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        ImageViewerFixture f;
        f.write({"RADALLUS-12051000.GIF"});
        const QString bad = QStringLiteral("RADALLUS-12051001.GIF");
        imagetest::writeBytes(f.images, bad, bytes);
        QVERIFY(f.run([&] {
            if (kind == FrameRequest::Kind::Loop)
                f.viewer.ShowPic(QStringLiteral("RADALLUS"));
            else if (kind == FrameRequest::Kind::Newest)
                f.viewer.showNewest(QStringLiteral("RADALLUS"));
            else
                f.viewer.DisplayImage(bad);
        }));
        // Moved, byte for byte, never deleted; the good frame stays.
        QVERIFY(!QFileInfo::exists(f.images + bad));
        QCOMPARE(readBytes(f.quarantine + bad), bytes);
        QVERIFY(QFileInfo::exists(f.images + QStringLiteral("RADALLUS-12051000.GIF")));
        QVERIFY(f.viewer.statusVisible());
        QCOMPARE(f.viewer.statusText(),
                 QStringLiteral("Bad image file, moved to track/bad: ") + bad);
        QVERIFY(f.status.text().startsWith(QStringLiteral("Moved to track/bad: ") + bad));
        QVERIFY2(f.status.text().contains(reason), qPrintable(f.status.text()));
        QVERIFY(!f.viewer.loopRunning()); // the set is not shown
        if (kind == FrameRequest::Kind::File) {
            QCOMPARE(f.prompter.messages.size(), 1);
            QVERIFY(f.prompter.messages.first().text.startsWith(ImageViewer::BadFileMessage));
            QCOMPARE(f.prompter.messages.first().title, ImageViewer::DisplayTitle);
            QCOMPARE(f.prompter.messages.first().icon, IPrompter::Icon::Critical);
        }
        // The next request shows what is left.
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
        QCOMPARE(f.viewer.LastFrame(), 0);
        QVERIFY(!f.viewer.statusVisible());
    }
    void displayImage_data()
    {
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("message");
        QTest::newRow("filed image") << "RADALLUS-12051000.GIF"
                                     << "";
        QTest::newRow("list entry in upper case") << "G16CIRUS-12051000.JPG"
                                                  << "";
        QTest::newRow("missing") << "RADALLUS-12059999.GIF" << ImageViewer::FileNotFound;
        QTest::newRow("outside the image directory")
            << "../secret.GIF" << ImageViewer::FileNotFound;
    }
    void displayImage()
    {
        QFETCH(QString, product);
        QFETCH(QString, message);
        ImageViewerFixture f;
        f.write({"RADALLUS-12051000.GIF", "g16cirus-12051000.jpg"});
        imagetest::writeImage(f.home.path(), "secret.GIF");
        f.write(imagetest::stampedNames(QStringLiteral("RADGLKUS"), 3, "GIF"));
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADGLKUS")); }));
        QSignalSpy shown(&f.viewer, &ImageViewer::showRequested);
        QVERIFY(f.run([&] { f.viewer.DisplayImage(product); }));
        QVERIFY(!f.viewer.loopRunning()); // the loop would replace the picture
        if (message.isEmpty()) {
            QCOMPARE(shown.count(), 1);
            QVERIFY(f.prompter.messages.isEmpty());
            QCOMPARE(QFileInfo(f.viewer.pictureFile()).fileName().toUpper(), product);
            return;
        }
        QCOMPARE(shown.count(), 0);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text, message);
        QCOMPARE(f.prompter.messages.first().title, ImageViewer::DisplayTitle);
    }
    // The frames of one set are bounded in pixels: the newest that fit are shown
    // and the older left out (they stay in the image directory); a picture
    // beyond the bound of one picture is refused as a bad image.
    void pixelBounds_data()
    {
        QTest::addColumn<int>("frames"); // of 100 x 100 pixels
        QTest::addColumn<qint64>("picturePixels");
        QTest::addColumn<qint64>("setPixels");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QString>("status");
        QTest::newRow("all fit") << 5 << 10000LL << 50000LL << 5 << QString();
        QTest::newRow("the two newest fit")
            << 5 << 10000LL << 29999LL << 2
            << QStringLiteral("Image loop RADALLUS: the 3 oldest frame(s) left out");
        QTest::newRow("one picture too large")
            << 3 << 9999LL << 50000LL << 0
            << QStringLiteral("Moved to track/bad: RADALLUS-12051002.GIF (bad image: picture too "
                              "large: 100 x 100 pixels");
    }
    void pixelBounds()
    {
        QFETCH(int, frames);
        QFETCH(qint64, picturePixels);
        QFETCH(qint64, setPixels);
        QFETCH(int, shown);
        QFETCH(QString, status);
        ImageViewerFixture f;
        const QStringList names =
            imagetest::stampedNames(QStringLiteral("RADALLUS"), frames, "GIF");
        f.write(names, QSize(100, 100));
        FrameLimits limits;
        limits.picturePixels = picturePixels;
        limits.setPixels = setPixels;
        f.loader.setLimits(limits);
        QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
        QCOMPARE(f.viewer.frameNames(), names.mid(frames - shown));
        QVERIFY2(f.status.text().startsWith(status), qPrintable(f.status.text()));
        const int refused = shown == 0 ? 1 : 0;
        QCOMPARE(QDir(f.images).entryList(QDir::Files).size(), frames - refused);
    }
    // A named pipe called like an image is never opened: opening it would wait
    // for a writer for ever, and the loader (and the program's shutdown) with it.
    // The single-file request refuses it as a bad image; listings skip it.
    void pipeNotOpened_data()
    {
        QTest::addColumn<FrameRequest::Kind>("kind");
        QTest::newRow("file") << FrameRequest::Kind::File;
        QTest::newRow("newest") << FrameRequest::Kind::Newest;
        QTest::newRow("loop") << FrameRequest::Kind::Loop;
    }
    void pipeNotOpened()
    {
        QFETCH(FrameRequest::Kind, kind);
        TestHome home;
        const QString dir = home.path() + QStringLiteral("/images/");
        const QString good = QStringLiteral("RADALLUS-12051000.GIF");
        const QString pipeName = QStringLiteral("RADALLUS-12051001.GIF");
        imagetest::writeImage(dir, good);
        const QByteArray pipe = QFile::encodeName(dir + pipeName);
        QVERIFY(mkfifo(pipe.constData(), 0600) == 0);
        FrameCache cache;
        FrameLoader loader(cache);
        QSignalSpy loaded(&loader, &FrameLoader::loaded);
        FrameRequest r;
        r.kind = kind;
        r.directory = dir;
        r.name = kind == FrameRequest::Kind::File ? pipeName : QStringLiteral("RADALLUS");
        r.now = QDateTime(QDate(2026, 12, 5), QTime(12, 0));
        r.quarantineDir = home.path() + QStringLiteral("/bad/");
        loader.load(r);
        const bool answered = loaded.wait(5000);
        if (!answered) {
            // Lets the worker's open return, so that the loader can end.
            const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        QVERIFY2(answered, "the loader opened the pipe and waits for a writer");
        const auto set = loaded.first().first().value<FrameSet>();
        if (kind != FrameRequest::Kind::File) {
            QCOMPARE(set.outcome, FrameSet::Outcome::Loaded);
            QCOMPARE(set.names, QStringList{good});
            return;
        }
        QCOMPARE(set.outcome, FrameSet::Outcome::BadImage);
        QCOMPARE(set.badName, pipeName);
        QVERIFY2(set.error.contains(QStringLiteral("not a regular file")), qPrintable(set.error));
        // Out of the image directory, so that a later start does not meet it again.
        struct stat moved;
        QVERIFY(::lstat(QFile::encodeName(set.quarantined).constData(), &moved) == 0);
        QVERIFY(S_ISFIFO(moved.st_mode));
        QVERIFY(!QFileInfo::exists(dir + pipeName));
    }
    // A file of 1 GB called like an image, decoded on a worker thread of a
    // child process whose address space is limited to 768 MB: reading it whole
    // threw std::bad_alloc there and ended the child (and so the program, at
    // every start that reopened the image).
    void hugeFileUnderMemoryLimit()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer needs more address space than the limit leaves");
#endif
        const QString child = qEnvironmentVariable("IMAGELOADER_HUGE_FILE");
        if (!child.isEmpty()) {
            FrameCache cache;
            FrameLoader loader(cache);
            QSignalSpy loaded(&loader, &FrameLoader::loaded);
            FrameRequest r;
            r.kind = FrameRequest::Kind::File;
            r.directory = QFileInfo(child).path() + QLatin1Char('/');
            r.name = QFileInfo(child).fileName();
            r.quarantineDir = r.directory + QStringLiteral("bad/");
            loader.load(r);
            QVERIFY(loaded.wait(30000));
            QCOMPARE(loaded.first().first().value<FrameSet>().outcome, FrameSet::Outcome::BadImage);
            return;
        }
        TestHome home;
        const QString path =
            imagetest::writeBytes(home.path(), "RADALLUS-12051000.GIF",
                                  imagetest::gifBytes(imagetest::picture(QSize(8, 8))));
        QVERIFY(QFile::resize(path, 1024LL * 1024 * 1024)); // sparse: costs no disk
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("IMAGELOADER_HUGE_FILE"), path);
        process.setProcessEnvironment(env);
        process.setChildProcessModifier([] {
            const rlimit limit{768UL << 20, 768UL << 20};
            ::setrlimit(RLIMIT_AS, &limit);
        });
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("hugeFileUnderMemoryLimit")});
        QVERIFY(process.waitForFinished(60000));
        const QByteArray output = process.readAllStandardOutput() + process.readAllStandardError();
        QVERIFY2(process.exitStatus() == QProcess::NormalExit, output.constData());
        QVERIFY2(process.exitCode() == 0, output.constData());
        QVERIFY(QFileInfo::exists(home.path() + QStringLiteral("/bad/RADALLUS-12051000.GIF")));
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("slides");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("comments and empty lines")
            << QStringList({"# header", "RADALLUS.GIF", "", "AFDGRRMI", "#", "ZFPGRRMI"})
            << QStringList({"RADALLUS.GIF", "AFDGRRMI", "ZFPGRRMI"}) << false;
        QTest::newRow("last line a comment") << QStringList({"AFDGRRMI", "ZFPGRRMI", "# end"})
                                             << QStringList({"AFDGRRMI", "ZFPGRRMI"}) << false;
        QTest::newRow("kept unchanged") << QStringList({" AFDGRRMI ", "RADALLUS.GIF! "})
                                        << QStringList({" AFDGRRMI ", "RADALLUS.GIF! "}) << false;
        QStringList many;
        for (int i = 0; i < 103; ++i)
            many << QStringLiteral("SLIDE%1").arg(i, 3, 10, QLatin1Char('0'));
        QTest::newRow("101 slides at most") << many << many.mid(0, 101) << true;
        QTest::newRow("exactly 101") << many.mid(0, 101) << many.mid(0, 101) << false;
    }
    void parse()
    {
        QFETCH(QStringList, lines);
        bool overflow = false;
        QTEST(SlideFile::parse(lines, &overflow), "slides");
        QTEST(overflow, "overflow");
    }
    void classify_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<SlideFile::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("zone");
        using K = SlideFile::Kind;
        QTest::newRow("gif loop") << "RADALLUS.GIF" << K::ImageLoop << "RADALLUS"
                                  << "";
        QTest::newRow("jpg loop") << "G16CIRUS.JPG" << K::ImageLoop << "G16CIRUS"
                                  << "";
        QTest::newRow("jpg single") << "G16CIRUS.JPG!" << K::ImageSingle << "G16CIRUS"
                                    << "";
        QTest::newRow("trailing blank is no single")
            << "RADALLUS.GIF " << K::ImageLoop << "RADALLUS"
            << "";
        QTest::newRow("lower-case extension is text") << "RADALLUS.gif" << K::Text << "RADALLUS"
                                                      << "";
        QTest::newRow("text") << "AFDGRRMI" << K::Text << "AFDGRRMI"
                              << "";
        QTest::newRow("text cut to 8") << "AFDGRRMI.TXT" << K::Text << "AFDGRRMI"
                                       << "";
        QTest::newRow("zone") << "WSWGRRMI!MIZ050" << K::TextZone << "WSWGRRMI"
                              << "MIZ050";
        QTest::newRow("short name and zone") << "WSWGRR!MIZ050" << K::TextZone << "WSWGRR"
                                             << "MIZ050";
    }
    void classify()
    {
        QFETCH(QString, line);
        const SlideFile::Slide slide = SlideFile::classify(line);
        QTEST(slide.kind, "kind");
        QTEST(slide.name, "name");
        QTEST(slide.zoneCode, "zone");
    }
    void sequence()
    {
        Fixture f;
        f.slides("# three slides\r\nRADALLUS.GIF\r\n# single\r\nFORSPCD1.GIF!\r\nAFDGRRMI\r\n");
        f.show.toggle();
        QVERIFY(f.show.checked());
        QVERIFY(f.show.running());
        QCOMPARE(f.show.timer().interval(), 15000);
        QCOMPARE(f.show.LastSlide(), 2);
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS")); // at once
        f.show.showNextSlide();                              // 15 s
        QCOMPARE(f.last(), QStringLiteral("single FORSPCD1"));
        f.show.showNextSlide(); // 30 s
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
        f.show.showNextSlide(); // 45 s: from the start again
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS"));
        QCOMPARE(f.show.CurrentSlide(), 1);
    }
    void restartPosition()
    {
        Fixture f;
        f.slides("RADALLUS.GIF\nG16CIRUS.JPG\nAFDGRRMI\nZFPGRRMI\n");
        f.show.toggle();        // slide 0
        f.show.showNextSlide(); // slide 1
        f.show.toggle();        // off
        QVERIFY(!f.show.running());
        QVERIFY(!f.show.checked());
        f.show.toggle(); // on again: the slide after the last one shown
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
        f.show.toggle();
        f.slides("RADALLUS.GIF\nG16CIRUS.JPG\n"); // now shorter than the position
        f.show.toggle();
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS"));
    }
    void missingFile()
    {
        Fixture f;
        f.show.toggle();
        QVERIFY(!f.show.running());
        QVERIFY(f.show.checked()); // the item stays checked
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text, SlideShow::NoSlides);
        QCOMPARE(f.prompter.messages.first().title, SlideShow::Title);
        QCOMPARE(f.prompter.messages.first().icon, IPrompter::Icon::Critical);
        QVERIFY(f.recorder.calls.isEmpty());

        // The file name is matched without regard to case.
        f.show.toggle();
        f.slides("AFDGRRMI\n", QStringLiteral("SlideShow.TXT"));
        f.show.toggle();
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
    }
    void zoneSegment()
    {
        Fixture f;
        const QString key = QStringLiteral("WSWGRR   ~KGRR~MI");
        QFile::copy(testDataPath(QStringLiteral("ugc/WSWGRRMI.TXT")), f.settings.TextPath + key);
        f.slides("WSWGRR!MIZ050\nWSWGRR!MIZ051\nWSWGRR!TXZ001\n");
        f.show.toggle();
        QCOMPARE(f.display.tag(), key);
        QVERIFY(f.display.text().startsWith(QStringLiteral("MIZ037>040-043>046-050-030430-")));
        QVERIFY(!f.display.text().contains(QLatin1String("MIZ051")));
        f.show.showNextSlide();
        QVERIFY(f.display.text().startsWith(QStringLiteral("MIZ051-052")));
        f.show.showNextSlide(); // no segment for the zone: the whole product stays
        QVERIFY(f.display.text().contains(QLatin1String("WWUS43 KGRR")));
        QCOMPARE(f.display.tag(), key);
    }
    void textSlideHidesViewer()
    {
        Fixture f;
        f.slides("NOSUCHPR!MIZ050\n");
        f.show.toggle();
        QCOMPARE(f.recorder.calls, QStringList({"hide", "text NOSUCHPR"}));
        QCOMPARE(f.display.text(), QStringLiteral("     --- Product not available ---"));
    }
};

QTEST_MAIN(TestImageViewer)
#include "tst_imageviewer.moc"
