#include "TestSupport.h"
#include "core/Settings.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void freshStoreGivesDefaults();
    void storeLocation();
    void roundTripOfAwkwardTexts();
    void saveWritesEveryKeyInItsForm();
    void saveThenReadGivesSameValues();
    void strictKeysRejectNonNumbers();
    void overflowUsesDefaultAndReports();
    void handEditedCommaValue();
    void shutdownKeepsSizeWhenMinimised();
    void localFilterCodes();
    void notifyKeys_data();
    void notifyKeys();
};

void TestSettings::freshStoreGivesDefaults()
{
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    Settings s;
    QStringList problems;
    s.readLongHeader(store);
    s.readWindowSize(store);
    s.readStartupKeys(store, &problems);
    QVERIFY(problems.isEmpty());
    // The image directory follows the home directory.
    QCOMPARE(s.GIFPath, home.path() + QStringLiteral("/Weather/EMWIN/Images/"));
    QVERIFY(!s.readHideIngest(store, &problems));
    // Reading never creates a key.
    QVERIFY(!QFile::exists(store.fileName()) || QFile(store.fileName()).size() == 0);
}

void TestSettings::storeLocation()
{
    TestHome home;
    QCOMPARE(SettingsStore::defaultPath(),
             home.path() + QStringLiteral("/.config/Vantorel-v15.conf"));
}

void TestSettings::roundTripOfAwkwardTexts()
{
    TestHome home;
    const QString path = home.file(QStringLiteral("v.conf"));
    const QStringList values = {" 1",  "-1",          "KORD,KGRR, KDTW",    "a=b;c", "\"quoted\"",
                                "@at", "back\\slash", "/home/x y/Weather/", "",      "  padded  "};
    {
        SettingsStore store(path);
        for (int i = 0; i < values.size(); ++i)
            store.write(QStringLiteral("Config"), QStringLiteral("K%1").arg(i), values[i]);
        QVERIFY(store.sync());
    }
    SettingsStore again(path);
    for (int i = 0; i < values.size(); ++i)
        QCOMPARE(again.read(QStringLiteral("Config"), QStringLiteral("K%1").arg(i), "default"),
                 values[i]);
}

void TestSettings::saveWritesEveryKeyInItsForm()
{
    TestHome home;
    const QString path = home.file(QStringLiteral("v.conf"));
    SettingsStore store(path);
    Settings s;
    s.TextPath = QStringLiteral("/data/text/");
    s.Filter1 = 1;
    s.Filter2 = 0;
    s.LimitAudio = -1;
    s.PurgeVal = 1;
    s.InactivityDelayText = QStringLiteral("5");
    s.Metar = QStringLiteral("KGRR,KDTW");
    s.NetworkMode = true;
    s.CompressEmailWarnings = 1;
    s.ExpandHeader = 1;
    s.writeConfigSave(store);
    store.sync();
    auto read = [&](const char* key) { return store.read("Config", QLatin1String(key), "<none>"); };
    QCOMPARE(read("Filter1"), QStringLiteral(" 1"));
    QCOMPARE(read("Filter2"), QStringLiteral(" 0"));
    QCOMPARE(read("LimitAudio"), QStringLiteral("-1"));
    QCOMPARE(read("PurgeVal"), QStringLiteral(" 1"));
    QCOMPARE(read("InactivityDelay"), QStringLiteral("5"));
    QCOMPARE(read("Metar"), QStringLiteral("KGRR,KDTW"));
    QCOMPARE(read("NetworkMode"), QStringLiteral("True"));
    QCOMPARE(read("WeathernodeMode"), QStringLiteral("False"));
    QCOMPARE(read("AFOSPath"), QString());
    QCOMPARE(read("ExpandHeader"), QStringLiteral("1"));
    QCOMPARE(read("Purge"), QStringLiteral(" 12"));
    QCOMPARE(read("TextPath"), QStringLiteral("/data/text/"));
    QCOMPARE(store.read("Pager", "CompressEmailWarnings", "<none>"), QStringLiteral("1"));
    // Keys Save does not own stay unwritten.
    QCOMPARE(read("TrackPath"), QStringLiteral("<none>"));
    QCOMPARE(read("CutoffAM"), QStringLiteral("<none>"));
}

void TestSettings::saveThenReadGivesSameValues()
{
    TestHome home;
    const QString path = home.file(QStringLiteral("v.conf"));
    Settings written;
    written.TextPath = QStringLiteral("/t/");
    written.TransferPath = QStringLiteral("/in, with comma/");
    written.StateFilterIt = QStringLiteral("DTX");
    written.Filter0 = 0;
    written.AlertEmail = 1;
    written.AlertByte = 1;
    written.Baud = 19200;
    written.PortNum = 3;
    written.Purge = 2.5;
    written.PurgeProd = 7;
    written.InactivityDelay = 9;
    written.InactivityDelayText = QStringLiteral("9");
    written.MetarDL = 1;
    written.WeathernodeMode = true;
    written.LongHeader = 1;
    written.RCMUnzip = 1;
    written.InternetDL = 1;
    written.LimitOneAudio = -1;
    {
        SettingsStore store(path);
        written.writeConfigSave(store);
        written.writeShutdown(store, true, false);
        store.sync();
    }
    SettingsStore store(path);
    Settings read;
    QStringList problems;
    read.readLongHeader(store);
    read.readWindowSize(store);
    read.readStartupKeys(store, &problems);
    QVERIFY(problems.isEmpty());
    QCOMPARE(read.TransferPath, written.TransferPath);
    QCOMPARE(read.StateFilterIt, written.StateFilterIt);
    QCOMPARE(read.Filter0, 0);
    QCOMPARE(read.AlertEmail, 1);
    QCOMPARE(read.AlertByte, 1);
    QCOMPARE(read.Baud, 19200);
    QCOMPARE(read.PortNum, 3);
    QCOMPARE(read.Purge, 2.5);
    QCOMPARE(read.PurgeProd, 7);
    QCOMPARE(read.InactivityDelay, 9);
    QCOMPARE(read.MetarDL, 1);
    QVERIFY(read.WeathernodeMode);
    QCOMPARE(read.LongHeader, 1);
    QCOMPARE(read.RCMUnzip, 1);
    QCOMPARE(read.InternetDL, 1);
    QCOMPARE(read.LimitOneAudio, -1);
    QCOMPARE(read.PurgeVal, 0); // written as " 0" and read strictly
    QCOMPARE(read.Width, 10845.0);
    QVERIFY(read.readHideIngest(store, &problems));
}

void TestSettings::strictKeysRejectNonNumbers()
{
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    store.write(QStringLiteral("Config"), QStringLiteral("PurgeVal"), QStringLiteral("5x"));
    Settings s;
    try {
        s.readStartupKeys(store, nullptr);
        QFAIL("a non-number was accepted for a strict key");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), ErrorNumber::TypeMismatch);
        QVERIFY(e.text().contains(QStringLiteral("PurgeVal")));
    }
    // Lenient keys take the leading number.
    store.write(QStringLiteral("Config"), QStringLiteral("PurgeVal"), QStringLiteral(" 1"));
    store.write(QStringLiteral("Config"), QStringLiteral("InactivityDelay"), QStringLiteral("5x"));
    s.readStartupKeys(store, nullptr);
    QCOMPARE(s.InactivityDelay, 5);
    QCOMPARE(s.PurgeVal, 1);
}

void TestSettings::overflowUsesDefaultAndReports()
{
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    store.write(QStringLiteral("Config"), QStringLiteral("Baud"), QStringLiteral("115200"));
    store.write(QStringLiteral("Config"), QStringLiteral("PurgeVal"), QStringLiteral("99999"));
    store.write(QStringLiteral("Config"), QStringLiteral("PurgeProd"), QStringLiteral("300"));
    Settings s;
    QStringList problems;
    s.readStartupKeys(store, &problems);
    QCOMPARE(s.Baud, 9600);
    QCOMPARE(s.PurgeVal, 0);
    QCOMPARE(s.PurgeProd, 3);
    QCOMPARE(problems.size(), 3);
    QVERIFY(problems.join(' ').contains(QStringLiteral("Config/Baud")));
}

void TestSettings::handEditedCommaValue()
{
    TestHome home;
    const QString path = home.file(QStringLiteral("v.conf"));
    home.write(QStringLiteral("v.conf"), "[Config]\nMetar=KORD,KGRR\n");
    SettingsStore store(path);
    QCOMPARE(store.read(QStringLiteral("Config"), QStringLiteral("Metar"), QString()),
             QStringLiteral("KORD,KGRR"));
}

void TestSettings::shutdownKeepsSizeWhenMinimised()
{
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    Settings s;
    s.Width = 12000;
    s.Height = 8000;
    s.ImageShowing = QStringLiteral("RADGRRMI");
    s.writeShutdown(store, false, true);
    QVERIFY(!store.contains(QStringLiteral("Startup"), QStringLiteral("Width")));
    QCOMPARE(store.read("Startup", "HideIngest", ""), QStringLiteral("False"));
    QCOMPARE(store.read("Config", "ImageShowing", ""), QStringLiteral("RADGRRMI"));
    s.writeShutdown(store, true, false);
    QCOMPARE(store.read("Startup", "Width", ""), QStringLiteral(" 12000"));
}

void TestSettings::localFilterCodes()
{
    Settings s;
    s.StateFilterIt = QStringLiteral("GRR");
    QCOMPARE(s.localFilterCodes(), QStringList({"GRR", "=}", "=}"}));
    s.StateFilterIt = QStringLiteral("GRRDTXIWX");
    QCOMPARE(s.localFilterCodes(), QStringList({"GRR", "DTX", "IWX"}));
}

// Section "Notify": a hand-edited value the program cannot read keeps the
// default and is reported; it never stops the start.
void TestSettings::notifyKeys_data()
{
    QTest::addColumn<QString>("desktop"); // stored texts; empty: not stored
    QTest::addColumn<QString>("rate");
    QTest::addColumn<bool>("desktopValue");
    QTest::addColumn<int>("rateValue");
    QTest::addColumn<int>("problems");
    QTest::newRow("defaults") << ""
                              << "" << true << 160 << 0;
    QTest::newRow("stored") << "False"
                            << "200" << false << 200 << 0;
    QTest::newRow("not a number") << "True"
                                  << "fast" << true << 160 << 1;
    QTest::newRow("not a truth") << "maybe"
                                 << "99999" << true << 160 << 2;
}

void TestSettings::notifyKeys()
{
    QFETCH(QString, desktop);
    QFETCH(QString, rate);
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    const QString section = QStringLiteral("Notify");
    if (!desktop.isEmpty())
        store.write(section, QStringLiteral("Desktop"), desktop);
    if (!rate.isEmpty())
        store.write(section, QStringLiteral("Rate"), rate);
    Settings s;
    QStringList problems;
    s.readStartupKeys(store, &problems);
    QTEST(s.NotifyDesktop, "desktopValue");
    QTEST(int(s.NotifyRate), "rateValue");
    QTEST(int(problems.size()), "problems");

    // Save writes them back in a form read again unchanged.
    s.NotifySpeak = true;
    s.NotifyVoice = QStringLiteral("en+f3");
    s.writeConfigSave(store);
    Settings again;
    again.readStartupKeys(store, nullptr);
    QCOMPARE(again.NotifyDesktop, s.NotifyDesktop);
    QCOMPARE(again.NotifySpeak, true);
    QCOMPARE(again.NotifyVoice, QStringLiteral("en+f3"));
    QCOMPARE(again.NotifyRate, s.NotifyRate);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
