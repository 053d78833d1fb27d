#include "ImageTestFiles.h"
#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "images/ImageList.h"
#include "images/WXPlot.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

class TestImagePlot : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void noPath();
    void runsInBinDirectory();
    void imageList_data();
    void imageList();
};

void TestImagePlot::commandLine_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("expected");
    QTest::newRow("warning plot") << "/opt/wxplot/" << 1
                                  << "/opt/wxplot/bin/wish80 /opt/wxplot/bin/wxplot.tcl "
                                     "/opt/wxplot/bin/";
    QTest::newRow("setup") << "/opt/wxplot/" << 2 << "/opt/wxplot/bin/wxsetup";
    QTest::newRow("path with blanks stays one argument")
        << "/home/em/WX Plot/" << 2 << "\"/home/em/WX Plot/bin/wxsetup\"";
    QTest::newRow("other index") << "/opt/wxplot/" << 0 << "";
}

void TestImagePlot::commandLine()
{
    QFETCH(QString, path);
    QFETCH(int, index);
    QTEST(WXPlot::commandLine(path, index), "expected");
}

void TestImagePlot::noPath()
{
    Settings settings;
    DisplayState display;
    RecordingLauncher launcher;
    display.setDisplay(QStringLiteral("bulletin"), QStringLiteral("AFDGRR   ~KGRR~MI"));
    WXPlot(settings, display, launcher).plot(1);
    QCOMPARE(display.text(), WXPlot::NoPath);
    QVERIFY(launcher.commandLines.isEmpty());
    QVERIFY(!WXPlot::isInstalled(QString()));
}

// A stand-in Tcl/Tk shell records its working directory and arguments.
void TestImagePlot::runsInBinDirectory()
{
    TestHome home;
    Settings settings;
    settings.WXPlotPath = home.path() + QStringLiteral("/WX Plot/");
    const QString bin = settings.WXPlotPath + QStringLiteral("bin/");
    const QString out = home.path() + QStringLiteral("/ran.txt");
    const QString shell = imagetest::writeBytes(
        bin, QStringLiteral("wish80"),
        "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > '" + out.toUtf8() +
            ".part' && mv '" + out.toUtf8() + ".part' '" + out.toUtf8() + "'\n");
    QFile::setPermissions(shell, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(WXPlot::isInstalled(settings.WXPlotPath));
    DisplayState display;
    ProcessLauncher launcher(home.path() + QStringLiteral("/prog/"));
    WXPlot(settings, display, launcher).plot(1);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(out), 10000);
    const QStringList lines = QString::fromUtf8(readBytes(out)).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, QStringList({bin.chopped(1), bin + "wxplot.tcl", bin}));

    // A missing program is said so in the display.
    WXPlot(settings, display, launcher).plot(2);
    QVERIFY(display.text().startsWith(WXPlot::CannotStart));
}

void TestImagePlot::imageList_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("empty directory") << QStringList() << QStringList();
    QTest::newRow("images only, upper case")
        << QStringList({"RADALLUS-12051000.GIF", "g16cirus-12051000.jpg", "MAP.bmp", "PHOTO.jpeg",
                        "AFDGRRMI.TXT", "SAT.PNG"})
        << QStringList({"G16CIRUS-12051000.JPG", "MAP.BMP", "PHOTO.JPEG", "RADALLUS-12051000.GIF"});
}

void TestImagePlot::imageList()
{
    QFETCH(QStringList, files);
    TestHome home;
    Settings settings;
    settings.GIFPath = home.path() + QStringLiteral("/images/");
    QDir().mkpath(settings.GIFPath);
    for (const QString& name : files)
        imagetest::writeBytes(settings.GIFPath, name, "x");
    ProductLists lists;
    lists.filtered().append(QStringLiteral("OLD ENTRY"));
    ImageList list(settings, lists);
    QSignalSpy kind(&list, &ImageList::listingKindChosen);
    list.listImages();
    QTEST(lists.filtered().texts(), "entries");
    QCOMPARE(lists.shownList(), ListKind::Filtered); // the filtered list is brought to the front
    QCOMPARE(kind.count(), 1);
    QCOMPARE(kind.first().first().toString(), QStringLiteral("GIF"));
}

QTEST_GUILESS_MAIN(TestImagePlot)
#include "tst_imageplot.moc"
