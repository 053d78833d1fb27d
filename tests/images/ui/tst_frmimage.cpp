#include "../ImageTestFiles.h"
#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/ISlideTarget.h"
#include "images/ui/ImageController.h"
#include "images/ui/PictureWidget.h"
#include "images/ui/frmImage.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(ImageMenuFile::Group)

namespace {
struct NoText : ISlideTarget
{
    void requestTextProduct(const QString&) override {}
};

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    QString images = home.path() + QStringLiteral("/images/");
    SettingsStore store{home.file(QStringLiteral(".config/Vantorel-v15.conf"))};
    Settings settings;
    StatusLine status;
    DisplayState display;
    ProductLists lists;
    ScriptedPrompter prompter;
    RecordingLauncher launcher;
    FakeClock clock;
    NoText target;
    std::unique_ptr<ImageController> images_;

    explicit Fixture(const QByteArray& menu = "[Radar]\nNational Mosaic,RADALLUS\n"
                                              "[Hurricane]\nAtlantic,HURTRKAT\n")
    {
        settings.GIFPath = images;
        QDir().mkpath(images);
        home.write(QStringLiteral("prog/Vantorel-ImageMenu.txt"), menu);
        images_ = std::make_unique<ImageController>(
            ImageController::Services{settings, store, status, display, lists, prompter, launcher,
                                      clock, programDir},
            target);
    }
    ImageController& controller() { return *images_; }
    void write(const QStringList& names, const QSize& size = QSize(40, 30))
    {
        int seed = 0;
        for (const QString& n : names)
            imagetest::writeImage(images, n, size, ++seed);
    }
    static bool waitLoaded(frmImage* w, const std::function<void()>& request)
    {
        QSignalSpy done(&w->viewer(), &ImageViewer::requestFinished);
        request();
        return done.wait(10000);
    }
};
} // namespace

class TestFrmImage : public QObject
{
    Q_OBJECT
private slots:
    void menusFromFile()
    {
        Fixture f;
        frmImage* w = f.controller().newViewer();
        QVERIFY(!w->header(frmImage::LoopHeader)->menuAction()->isEnabled());
        QAction* radar = w->slotAction(ImageMenuFile::Radar, 0);
        QCOMPARE(radar->text(), QStringLiteral("National Mosaic"));
        QCOMPARE(radar->data().toString(), QStringLiteral("RADALLUS"));
        QVERIFY(!w->slotAction(ImageMenuFile::Radar, 1)->isVisible());
        QVERIFY(w->oceanAction(0)->isChecked()); // "A" by default
        QVERIFY(!w->oceanAction(1)->isChecked());
        w->close();
    }
    void menuItems_data()
    {
        QTest::addColumn<ImageMenuFile::Group>("group");
        QTest::addColumn<QString>("expectedFile");
        QTest::addColumn<bool>("looping");
        QTest::newRow("radar loops") << ImageMenuFile::Radar << "RADALLUS-12051002.GIF" << true;
        QTest::newRow("hurricane shows one image")
            << ImageMenuFile::Hurricane << "HURTRKAT-12051100.JPG" << false;
    }
    void menuItems()
    {
        QFETCH(ImageMenuFile::Group, group);
        QFETCH(QString, expectedFile);
        QFETCH(bool, looping);
        Fixture f;
        f.write(imagetest::stampedNames(QStringLiteral("RADALLUS"), 3, "GIF"));
        f.write({"HURTRKAT-12051000.GIF", "HURTRKAT-12051100.JPG"});
        frmImage* w = f.controller().newViewer();
        QVERIFY(Fixture::waitLoaded(w, [&] { w->slotAction(group, 0)->trigger(); }));
        QCOMPARE(w->viewer().pictureFile(), f.images + expectedFile);
        QCOMPARE(w->picture()->size(), QSize(40, 30));
        QCOMPARE(w->viewer().loopRunning(), looping);
        QCOMPARE(w->header(frmImage::LoopHeader)->menuAction()->isEnabled(), looping);
        QCOMPARE(w->loopAction(0)->isChecked(), looping);
        QCOMPARE(w->loopAction(2)->isChecked(), !looping);
        QVERIFY(!w->statusLabel()->isVisible());
        if (looping) {
            w->loopAction(2)->trigger(); // Stop
            QVERIFY(!w->viewer().loopRunning());
            QVERIFY(w->loopAction(2)->isChecked());
        }
        w->close();
    }
    void menuFileFailure()
    {
        Fixture f("[Radar]\nNational Mosaic,RADALLUS\nno comma on this line\nLater,RADX\n");
        frmImage* w = f.controller().newViewer();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(
            f.prompter.messages.first().text,
            QStringLiteral("IMAGE: FormLoad\nError: 5\nPossible Causes: Invalid procedure call "
                           "or argument (no comma on this line)"));
        QCOMPARE(w->slotAction(ImageMenuFile::Radar, 0)->text(), QStringLiteral("National Mosaic"));
        QVERIFY(!w->slotAction(ImageMenuFile::Radar, 1)->isVisible());
        QVERIFY(w->isVisible()); // the window opens all the same
        w->close();
    }
    void scrollsLargePictures_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<bool>("vertical");
        QTest::newRow("small") << QSize(200, 150) << false << false;
        QTest::newRow("wide") << QSize(1600, 200) << true << false;
        QTest::newRow("large") << QSize(1800, 1400) << true << true;
    }
    void scrollsLargePictures()
    {
        QFETCH(QSize, size);
        Fixture f;
        f.write({"RADALLUS-12051000.GIF"}, size);
        frmImage* w = f.controller().newViewer();
        w->resize(640, 480);
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QVERIFY(Fixture::waitLoaded(w, [&] { w->viewer().ShowPic(QStringLiteral("RADALLUS")); }));
        QCoreApplication::processEvents();
        QCOMPARE(w->picture()->size(), size);
        QTEST(w->viewport()->horizontalScrollBar()->isVisible(), "horizontal");
        QTEST(w->viewport()->verticalScrollBar()->isVisible(), "vertical");
        w->close();
    }
    void remembersSize()
    {
        Fixture f;
        frmImage* w = f.controller().newViewer();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        w->resize(500, 400);
        QCoreApplication::processEvents();
        w->mnuOcean_Click(1);
        QVERIFY(w->oceanAction(1)->isChecked());
        w->close();
        QCOMPARE(f.store.read("Image", "ImageWidth", "0"), QStringLiteral("7500"));
        QCOMPARE(f.store.read("Image", "ImageHeight", "0"), QStringLiteral("6000"));
        QCOMPARE(f.store.read("Image", "ZoomImage", "x"), QStringLiteral("0"));
        QCOMPARE(f.store.read("Image", "Ocean", "A"), QStringLiteral("E"));
        frmImage* again = f.controller().newViewer();
        QCOMPARE(again->size(), QSize(500, 400));
        QVERIFY(again->oceanAction(1)->isChecked());
        QCOMPARE(again->viewer().nhcPrefix("TWO"), QStringLiteral("E????TWO"));
        again->close();
    }
    void sharedAndIndependentViewers()
    {
        Fixture f;
        f.write(imagetest::stampedNames(QStringLiteral("RADALLUS"), 2, "GIF"));
        frmImage* shared = f.controller().sharedViewer();
        QCOMPARE(f.controller().sharedViewer(), shared);
        frmImage* extra = f.controller().newViewer();
        QVERIFY(extra != shared);
        QVERIFY(extra->isVisible());
        QVERIFY(!shared->isVisible()); // created on first use, shown when used

        f.controller().showLoop(QStringLiteral("RADALLUS"));
        QVERIFY(shared->isVisible());
        QCOMPARE(f.settings.ImageShowing, QStringLiteral("RADALLUS"));
        f.controller().hideForText();
        QVERIFY(!shared->isVisible());
        QVERIFY(f.settings.ImageShowing.isEmpty());

        QPointer<frmImage> gone = shared;
        shared->close();
        QTRY_VERIFY(gone.isNull()); // closed viewers go away
        frmImage* next = f.controller().sharedViewer();
        QVERIFY(next != nullptr);
        QCOMPARE(f.controller().viewers().size(), 2);

        f.controller().showLoop(QStringLiteral("RADALLUS"));
        f.controller().closeAll(); // program exit: the name on show is kept for saving
        QCOMPARE(f.settings.ImageShowing, QStringLiteral("RADALLUS"));
        QTRY_VERIFY(f.controller().viewers().isEmpty());
    }
    void displayImageShowsShared()
    {
        Fixture f;
        f.write({"G16CIRUS-12051000.JPG"});
        frmImage* shared = f.controller().sharedViewer();
        QVERIFY(Fixture::waitLoaded(
            shared, [&] { f.controller().DisplayImage(QStringLiteral("G16CIRUS-12051000.JPG")); }));
        shared->showMinimized();
        QVERIFY(Fixture::waitLoaded(
            shared, [&] { f.controller().DisplayImage(QStringLiteral("G16CIRUS-12051000.JPG")); }));
        QVERIFY(!shared->isMinimized());
        QVERIFY(Fixture::waitLoaded(
            shared, [&] { f.controller().DisplayImage(QStringLiteral("RADALLUS-12051000.GIF")); }));
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text, QStringLiteral("File not found."));
    }
    void reopenLastImage_data()
    {
        QTest::addColumn<QString>("showing");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<QString>("kept");
        QTest::newRow("long enough, files exist") << "RADALLUS" << true << "RADALLUS";
        QTest::newRow("shorter than 6 is cleared") << "RADAL" << false << "";
        QTest::newRow("no files") << "G18CIRUS" << false << "G18CIRUS";
        QTest::newRow("empty") << "" << false << "";
    }
    void reopenLastImage()
    {
        QFETCH(QString, showing);
        QFETCH(bool, opened);
        Fixture f;
        f.write(imagetest::stampedNames(QStringLiteral("RADALLUS"), 3, "GIF"));
        f.settings.ImageShowing = showing;
        QCOMPARE(f.controller().reopenLastImage(), opened);
        QTEST(f.settings.ImageShowing, "kept");
        frmImage* shared = f.controller().existingSharedViewer();
        QCOMPARE(shared != nullptr && shared->isVisible(), opened);
        if (opened) {
            QTRY_COMPARE_WITH_TIMEOUT(shared->viewer().LastFrame(), 2, 10000);
            QVERIFY(shared->viewer().loopRunning());
        }
    }
    void saveAndPrint()
    {
        Fixture f;
        f.write({"RADALLUS-12051000.GIF"}, QSize(300, 200));
        frmImage* w = f.controller().newViewer();
        QVERIFY(!w->printPicture(*std::make_unique<QPrinter>())); // nothing on show yet
        QVERIFY(Fixture::waitLoaded(w, [&] { w->viewer().ShowPic(QStringLiteral("RADALLUS")); }));
        const QString copy = f.home.path() + QStringLiteral("/saved/radar.gif");
        QDir().mkpath(f.home.path() + QStringLiteral("/saved"));
        QVERIFY(w->savePictureTo(copy));
        QCOMPARE(readBytes(copy), readBytes(f.images + "RADALLUS-12051000.GIF"));
        QVERIFY(!w->savePictureTo(f.home.path() + QStringLiteral("/no/such/dir/x.gif")));
        QCOMPARE(f.prompter.messages.size(), 1);

        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(f.home.path() + QStringLiteral("/radar.pdf"));
        QVERIFY(w->printPicture(printer));
        QVERIFY(readBytes(f.home.path() + QStringLiteral("/radar.pdf")).startsWith("%PDF"));
        w->close();
    }
    // Runs the event loop: last.
    void viewersDoNotKeepProgramAlive()
    {
        Fixture f;
        auto* main = new QWidget;
        main->show();
        f.controller().newViewer();
        f.controller().sharedViewer()->show();
        // Closing the main window ends the event loop with both viewers still open.
        QSignalSpy last(qApp, &QGuiApplication::lastWindowClosed);
        QTimer::singleShot(0, main, &QWidget::close);
        QTimer failsafe;
        failsafe.setSingleShot(true);
        connect(&failsafe, &QTimer::timeout, qApp, &QCoreApplication::quit);
        failsafe.start(5000);
        QApplication::exec();
        QVERIFY(failsafe.isActive());
        QCOMPARE(last.count(), 1);
        delete main;
        f.images_.reset(); // the controller goes: every viewer closes with it
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<frmImage*>(w));
    }
};

QTEST_MAIN(TestFrmImage)
#include "tst_frmimage.moc"
