#include "ImageViewerFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(FrameRequest::Kind)

class TestImageLoader : public QObject
{
    Q_OBJECT
private slots:
    void decodesBothKinds_data();
    void decodesBothKinds();
    void cacheSparesRereading();
    void cacheBudget();
    void badImageQuarantined_data();
    void badImageQuarantined();
    void displayImage_data();
    void displayImage();
    void pixelBounds_data();
    void pixelBounds();
    void pipeNotOpened_data();
    void pipeNotOpened();
    void hugeFileUnderMemoryLimit();
};

void TestImageLoader::decodesBothKinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("gif") << "RADALLUS-12051000.GIF";
    QTest::newRow("jpg") << "G16CIRUS-12051000.JPG";
    QTest::newRow("lower-case extension") << "RADALLUS-12051000.gif";
}

void TestImageLoader::decodesBothKinds()
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

void TestImageLoader::cacheSparesRereading()
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
        .setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
    QVERIFY(f.run([&] { f.viewer.ShowPic(QStringLiteral("RADALLUS")); }));
    QCOMPARE(f.cache.misses(), 5);
    f.viewer.showNextFrame();
    f.viewer.showNextFrame();
    QCOMPARE(f.viewer.picture().size(), QSize(60, 50));
}

void TestImageLoader::cacheBudget()
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

void TestImageLoader::badImageQuarantined_data()
{
    QTest::addColumn<FrameRequest::Kind>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason"); // in the status line; empty: the decoder's words
    const QString tooLarge = QStringLiteral("picture too large");
    QTest::newRow("loop, empty file") << FrameRequest::Kind::Loop << QByteArray() << QString();
    QTest::newRow("loop, text") << FrameRequest::Kind::Loop << QByteArray("not a picture\r\n")
                                << QString();
    QTest::newRow("loop, header only")
        << FrameRequest::Kind::Loop << QByteArray("GIF89a") << QString();
    QTest::newRow("newest, text") << FrameRequest::Kind::Newest << QByteArray("<html>")
                                  << QString();
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

void TestImageLoader::badImageQuarantined()
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
    QCOMPARE(f.viewer.statusText(), QStringLiteral("Bad image file, moved to track/bad: ") + bad);
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

void TestImageLoader::displayImage_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("message");
    QTest::newRow("filed image") << "RADALLUS-12051000.GIF"
                                 << "";
    QTest::newRow("list entry in upper case") << "G16CIRUS-12051000.JPG"
                                              << "";
    QTest::newRow("missing") << "RADALLUS-12059999.GIF" << ImageViewer::FileNotFound;
    QTest::newRow("outside the image directory") << "../secret.GIF" << ImageViewer::FileNotFound;
}

void TestImageLoader::displayImage()
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
void TestImageLoader::pixelBounds_data()
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

void TestImageLoader::pixelBounds()
{
    QFETCH(int, frames);
    QFETCH(qint64, picturePixels);
    QFETCH(qint64, setPixels);
    QFETCH(int, shown);
    QFETCH(QString, status);
    ImageViewerFixture f;
    const QStringList names = imagetest::stampedNames(QStringLiteral("RADALLUS"), frames, "GIF");
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
void TestImageLoader::pipeNotOpened_data()
{
    QTest::addColumn<FrameRequest::Kind>("kind");
    QTest::newRow("file") << FrameRequest::Kind::File;
    QTest::newRow("newest") << FrameRequest::Kind::Newest;
    QTest::newRow("loop") << FrameRequest::Kind::Loop;
}

void TestImageLoader::pipeNotOpened()
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
void TestImageLoader::hugeFileUnderMemoryLimit()
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
    const QString path = imagetest::writeBytes(
        home.path(), "RADALLUS-12051000.GIF", imagetest::gifBytes(imagetest::picture(QSize(8, 8))));
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

QTEST_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
