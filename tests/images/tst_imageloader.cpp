#include "ImageViewerFixture.h"
#include "images/ImageQuarantine.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <sys/stat.h>

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
    void quarantineKeepsEarlierFiles();
    void displayImage_data();
    void displayImage();
    void decodesOffTheWindowThread();
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
    f.viewer.tmrPicture_Timer();
    f.viewer.tmrPicture_Timer();
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
    QTest::newRow("loop, empty file") << FrameRequest::Kind::Loop << QByteArray();
    QTest::newRow("loop, text") << FrameRequest::Kind::Loop << QByteArray("not a picture\r\n");
    QTest::newRow("loop, header only") << FrameRequest::Kind::Loop << QByteArray("GIF89a");
    QTest::newRow("newest, text") << FrameRequest::Kind::Newest << QByteArray("<html>");
    QTest::newRow("file, header only") << FrameRequest::Kind::File << QByteArray("GIF89a\x01");
}

void TestImageLoader::badImageQuarantined()
{
    QFETCH(FrameRequest::Kind, kind);
    QFETCH(QByteArray, bytes);
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

void TestImageLoader::quarantineKeepsEarlierFiles()
{
    TestHome home;
    const QString dir = home.path() + QStringLiteral("/bad/");
    const QString first = imagetest::writeBytes(home.path(), "X.GIF", "one");
    QCOMPARE(ImageQuarantine::move(first, dir), dir + QStringLiteral("X.GIF"));
    const QString second = imagetest::writeBytes(home.path(), "X.GIF", "two");
    QCOMPARE(ImageQuarantine::move(second, dir), dir + QStringLiteral("X.GIF.1"));
    QCOMPARE(readBytes(dir + "X.GIF"), QByteArray("one"));
    QCOMPARE(readBytes(dir + "X.GIF.1"), QByteArray("two"));
    QVERIFY(ImageQuarantine::move(home.path() + "/missing.GIF", dir).isEmpty());
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

// The picture is read from a named pipe that the test fills only after the
// request has returned: were it read on this thread, the request would never return.
void TestImageLoader::decodesOffTheWindowThread()
{
    TestHome home;
    const QString pipe = home.path() + QStringLiteral("/PIPETEST.GIF");
    QVERIFY(mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
    FrameCache cache;
    FrameLoader loader(cache);
    QSignalSpy loaded(&loader, &FrameLoader::loaded);
    FrameRequest r;
    r.kind = FrameRequest::Kind::File;
    r.directory = home.path() + QLatin1Char('/');
    r.name = QStringLiteral("PIPETEST.GIF");
    loader.load(r);
    QFile writer(pipe);
    QVERIFY(writer.open(QIODevice::WriteOnly)); // blocks until the worker opens it
    writer.write(imagetest::gifBytes(imagetest::picture(QSize(64, 48))));
    writer.close();
    QVERIFY(loaded.wait(10000));
    const auto set = loaded.first().first().value<FrameSet>();
    QCOMPARE(set.outcome, FrameSet::Outcome::Loaded);
    QCOMPARE(set.images.first().size(), QSize(64, 48));
}

QTEST_MAIN(TestImageLoader)
#include "tst_imageloader.moc"
