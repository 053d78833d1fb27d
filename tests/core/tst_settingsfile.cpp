#include "TestSupport.h"
#include "core/Settings.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QFile>
#include <QTest>

// A settings file kept by an earlier version is read and written back by
// every writer without a byte changing.
class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void readAndWrittenBackUnchanged();
};

void TestSettingsFile::readAndWrittenBackUnchanged()
{
    TestHome home;
    const QByteArray original =
        readBytes(testDataPath(QStringLiteral("settings/Vantorel-v15.conf")));
    QVERIFY(!original.isEmpty());
    const QString path = home.write(QStringLiteral("v.conf"), original);
    {
        SettingsStore store(path);
        Settings s;
        QStringList problems;
        s.readLongHeader(store);
        s.readWindowSize(store);
        s.readStartupKeys(store, &problems);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
        const bool hide = s.readHideIngest(store, &problems);
        s.writeConfigSave(store);
        s.writeShutdown(store, hide, false);
        s.writePagerSetup(store);
        const QString c = QStringLiteral("Config");
        auto again = [&](const QString& section, const QString& key) {
            store.write(section, key, store.read(section, key, QString()));
        };
        for (const char* key : {"TrackPath", "DefaultSaveDir", "aFile0", "aFile1", "aFile2",
                                "EMail1", "EMail2", "InternetMirror1"})
            again(c, QLatin1String(key));
        store.write(c, QStringLiteral("VBMWidth"), QString::number(s.VBMWidth));
        store.write(c, QStringLiteral("CutoffAM"), QString::number(s.CutoffAM));
        store.write(c, QStringLiteral("CutoffPM"), QString::number(s.CutoffPM));
        store.write(c, QStringLiteral("AlarmFileNum"), QString::number(s.AlarmFileNum));
        store.write(QStringLiteral("FTP"), QStringLiteral("FTPServer"), s.FTPServer);
        store.write(QStringLiteral("FTP"), QStringLiteral("FTPProxy"), QString::number(s.FTPProxy));
        for (const char* key : {"ImageHeight", "ImageWidth", "Ocean", "ZoomImage"})
            again(QStringLiteral("Image"), QLatin1String(key));
        QVERIFY(store.sync());
    }
    const QByteArray written = readBytes(path);
    if (written != original)
        QFile(home.path() + QStringLiteral("/v.conf")).copy(QStringLiteral("/tmp/names-out.conf"));
    QCOMPARE(written, original);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
