#include "TestSupport.h"
#include "core/StatusLine.h"
#include "images/ImageMenuFile.h"

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

class TestImageMenuFile : public QObject
{
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void itemLimit();
    void failures_data();
    void failures();
    void shippedMenu();
};

void TestImageMenuFile::rules_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("visible");

    QTest::newRow("radar item") << QByteArray("[Radar]\nRadar loop,RAD\n") << int(Group::Radar) << 0
                                << "Radar loop"
                                << "RAD" << true;
    QTest::newRow("before any header")
        << QByteArray("US mosaic,RADALLUS\n[GOES]\n") << int(Group::Composite) << 0 << "US mosaic"
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
        << QByteArray("[Model]\nNAM,MODNAM\nGFS,MODGFS\n[Satellite]\nX,SATX\n") << int(Group::Model)
        << 0 << "X"
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

void TestImageMenuFile::rules()
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

void TestImageMenuFile::itemLimit()
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

void TestImageMenuFile::failures_data()
{
    QTest::addColumn<bool>("create");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("filledRadar");

    QTest::newRow("missing file") << false << QByteArray() << 53 << 0;
    QTest::newRow("item without comma")
        << true << QByteArray("[Radar]\nLoop,RAD\nNo comma here\nLater,RADL\n") << 5 << 1;
}

void TestImageMenuFile::failures()
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

void TestImageMenuFile::shippedMenu()
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
            QVERIFY2(g == Group::NHC ? s.tag.size() == 3 : s.tag.size() <= 8, qPrintable(s.tag));
            QVERIFY2(!s.caption.isEmpty(), qPrintable(s.tag));
        }
    }
}

QTEST_GUILESS_MAIN(TestImageMenuFile)
#include "tst_imagemenufile.moc"
