// The image menus: the menu file and its bounds, the image list and the
// plotting program started from them.

#include "ImageTestFiles.h"
#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/ImageList.h"
#include "images/ImageMenuFile.h"
#include "images/WXPlot.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {
using Group = ImageMenuFile::Group;

QByteArray items(int count, const QByteArray& prefix = "RAD")
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Item " + QByteArray::number(i) + "," + prefix + QByteArray::number(i) + "\r\n";
    return bytes;
}
} // namespace

class TestImageMenus : public QObject
{
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("visible");

        QTest::newRow("radar item")
            << QByteArray("[Radar]\nRadar loop,RAD\n") << int(Group::Radar) << 0 << "Radar loop"
            << "RAD" << true;
        QTest::newRow("before any header") << QByteArray("US mosaic,RADALLUS\n[GOES]\n")
                                           << int(Group::Composite) << 0 << "US mosaic"
                                           << "RADALLUS" << true;
        QTest::newRow("tag keeps further commas")
            << QByteArray("[Misc]\nA, B,C,D\n") << int(Group::Misc) << 0 << "A"
            << " B,C,D" << true;
        QTest::newRow("crlf line ends")
            << QByteArray("[GOES]\r\nIR,G16CIRUS\r\n") << int(Group::GOES) << 0 << "IR"
            << "G16CIRUS" << true;
        // "[Radar] " is no header: the counter restarts in the section before it.
        QTest::newRow("header with blank restarts counter")
            << QByteArray("[GOES]\nIR,G16CIRUS\nVIS,G16CVSUS\n[Radar] \nOver,RADX\n")
            << int(Group::GOES) << 0 << "Over"
            << "RADX" << true;
        QTest::newRow("header with blank keeps later slots")
            << QByteArray("[GOES]\nIR,G16CIRUS\nVIS,G16CVSUS\n[Radar] \nOver,RADX\n")
            << int(Group::GOES) << 1 << "VIS"
            << "G16CVSUS" << true;
        QTest::newRow("header with blank selects nothing")
            << QByteArray("[GOES]\nIR,G16CIRUS\n[Radar] \nOver,RADX\n") << int(Group::Radar) << 0
            << "Radar"
            << "" << true;
        QTest::newRow("unknown section overwrites current")
            << QByteArray("[Model]\nNAM,MODNAM\nGFS,MODGFS\n[Satellite]\nX,SATX\n")
            << int(Group::Model) << 0 << "X"
            << "SATX" << true;
        QTest::newRow("header is case-sensitive")
            << QByteArray("[Model]\nNAM,MODNAM\n[radar]\nX,RADX\n") << int(Group::Model) << 0 << "X"
            << "RADX" << true;
        QTest::newRow("comment") << QByteArray("[Radar]\n#Hidden,RADH\nShown,RADS\n")
                                 << int(Group::Radar) << 0 << "Shown"
                                 << "RADS" << true;
        QTest::newRow("short line ignored")
            << QByteArray("[Radar]\na,b\nLong,RADL\n") << int(Group::Radar) << 0 << "Long"
            << "RADL" << true;
        QTest::newRow("end marker stops reading")
            << QByteArray("[Radar]\nFirst,RAD1\n--[END]--\nSecond,RAD2\n") << int(Group::Radar) << 1
            << ""
            << "" << false;
        QTest::newRow("unfilled slot 0: placeholder, every image")
            << QByteArray("[Radar]\nLoop,RAD\n") << int(Group::Forecast) << 0 << "Fore"
            << "" << true;
        QTest::newRow("unfilled nhc slot 0")
            << QByteArray("[Radar]\nLoop,RAD\n") << int(Group::NHC) << 0 << "0"
            << "" << true;
        QTest::newRow("unfilled later slot")
            << QByteArray("[Radar]\nLoop,RAD\n") << int(Group::Radar) << 1 << ""
            << "" << false;
        QTest::newRow("nhc item") << QByteArray("[NHC]\nOutlook,TWO\n") << int(Group::NHC) << 0
                                  << "Outlook"
                                  << "TWO" << true;
    }
    void rules()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, group);
        QFETCH(int, slot);
        TestHome home;
        StatusLine status;
        ImageMenuFile file;
        file.read(home.write(ImageMenuFile::FileName, text), &status);
        QVERIFY(!file.error());
        const ImageMenuFile::Slot& s = file.group(static_cast<Group>(group)).at(slot);
        QTEST(s.caption, "caption");
        QTEST(s.tag, "tag");
        QTEST(s.visible, "visible");
        QVERIFY(status.text().isEmpty());
    }
    void itemLimit()
    {
        TestHome home;
        StatusLine status;
        ImageMenuFile file;
        file.read(
            home.write(ImageMenuFile::FileName, "[Radar]\n" + items(26) + "[GOES]\nIR,G16CIRUS\n"),
            &status);
        QVERIFY(!file.error());
        QCOMPARE(status.text(), ImageMenuFile::TooManyItems);
        const auto& radar = file.group(Group::Radar);
        QCOMPARE(radar[10].tag, QStringLiteral("RAD10")); // 11th to 25th accepted
        QCOMPARE(radar[24].tag, QStringLiteral("RAD24"));
        for (const auto& s : radar)
            QVERIFY(s.tag != QLatin1String("RAD25"));                         // the 26th is dropped
        QCOMPARE(file.group(Group::GOES)[0].tag, QStringLiteral("G16CIRUS")); // reading went on
    }
    void failures_data()
    {
        QTest::addColumn<bool>("create");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("filledRadar");

        QTest::newRow("missing file") << false << QByteArray() << 53 << 0;
        QTest::newRow("item without comma")
            << true << QByteArray("[Radar]\nLoop,RAD\nNo comma here\nLater,RADL\n") << 5 << 1;
    }
    void failures()
    {
        QFETCH(bool, create);
        QFETCH(QByteArray, text);
        QFETCH(int, filledRadar);
        TestHome home;
        const QString path =
            create ? home.write(ImageMenuFile::FileName, text) : home.file(ImageMenuFile::FileName);
        ImageMenuFile file;
        file.read(path, nullptr);
        QVERIFY(file.error().has_value());
        QTEST(file.error()->code(), "number");
        int filled = 0;
        for (const auto& s : file.group(Group::Radar))
            filled += s.tag.isEmpty() ? 0 : 1;
        QCOMPARE(filled, filledRadar); // what came before the failure is kept
    }
    void shippedMenu()
    {
        StatusLine status;
        ImageMenuFile file;
        file.read(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + ImageMenuFile::FileName, &status);
        QVERIFY(!file.error());
        QVERIFY(status.text().isEmpty());
        for (int g = 0; g < ImageMenuFile::GroupCount; ++g) {
            const auto& group = file.group(static_cast<Group>(g));
            QVERIFY2(!group[0].tag.isEmpty(), qPrintable(ImageMenuFile::header(Group(g))));
            for (const auto& s : group) {
                if (!s.visible)
                    continue;
                // NHC tags follow the ocean letter and four wild cards; others are image names.
                QVERIFY2(g == Group::NHC ? s.tag.size() == 3 : s.tag.size() <= 8,
                         qPrintable(s.tag));
                QVERIFY2(!s.caption.isEmpty(), qPrintable(s.tag));
            }
        }
    }

    void commandLine_data()
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
    void commandLine()
    {
        QFETCH(QString, path);
        QFETCH(int, index);
        QTEST(WXPlot::commandLine(path, index), "expected");
    }
    void noPath()
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
    void runsInBinDirectory()
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
    void imageList_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("empty directory") << QStringList() << QStringList();
        QTest::newRow("images only, upper case")
            << QStringList({"RADALLUS-12051000.GIF", "g16cirus-12051000.jpg", "MAP.bmp",
                            "PHOTO.jpeg", "AFDGRRMI.TXT", "SAT.PNG"})
            << QStringList(
                   {"G16CIRUS-12051000.JPG", "MAP.BMP", "PHOTO.JPEG", "RADALLUS-12051000.GIF"});
    }
    void imageList()
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
        QCOMPARE(lists.shownList(),
                 ListKind::Filtered); // the filtered list is brought to the front
        QCOMPARE(kind.count(), 1);
        QCOMPARE(kind.first().first().toString(), QStringLiteral("GIF"));
    }
};

QTEST_GUILESS_MAIN(TestImageMenus)
#include "tst_imagemenus.moc"
