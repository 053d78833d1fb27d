#include "TestSupport.h"
#include "core/NwwsSettings.h"
#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/SettingsStore.h"

#include <QDirIterator>
#include <QFile>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void readAndWrittenBackUnchanged();
    void everyKeyHasItsRow();
    void writesSignalTheKey_data();
    void writesSignalTheKey();
    void keysAreSpelledOnlyInTheTable();
};

// A settings file kept by an earlier version is read and written back by
// every writer without a byte changing.
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
        QCOMPARE(s.Purge, 24.5);
        QCOMPARE(s.Metar, QStringLiteral("KGRR,KDTW"));
        const bool hide = s.readHideIngest(store, &problems);
        s.writeConfigSave(store);
        s.writeShutdown(store, hide, false);
        s.writePagerSetup(store);
        NwwsSettings::read(store).write(store);
        for (const SettingsEntry& e : SettingsTable::entries()) {
            if (e.has(SettingsEntry::Indexed)) {
                for (int i = 0; i < 5; ++i)
                    if (store.contains(e.section, Settings::keyName(e.key, i)))
                        s.storeText(store, e.key, Settings::storedText(store, e.key, i), i);
            } else if (e.has(SettingsEntry::ReadAtStart)) {
                s.store(store, e.key);
            } else if (store.contains(e.section, e.name)) {
                s.storeText(store, e.key, Settings::storedText(store, e.key));
            }
        }
        QVERIFY(store.sync());
    }
    QCOMPARE(readBytes(path), original);
}

// Each key's row sits at its place and carries the key's own name, so a
// row moved or mistyped cannot read one key into another's variable.
void TestSettingsFile::everyKeyHasItsRow()
{
    const QMetaEnum keys = QMetaEnum::fromType<Settings::Key>();
    QCOMPARE(SettingsTable::entries().size(), keys.keyCount());
    QSet<QString> stored;
    for (int i = 0; i < keys.keyCount(); ++i) {
        const auto key = static_cast<Settings::Key>(keys.value(i));
        const SettingsEntry& e = SettingsTable::entries().at(i);
        QCOMPARE(e.key, key);
        QCOMPARE(QString(e.name), QString::fromLatin1(keys.key(i)));
        const QString where = e.section + u'/' + e.name;
        QVERIFY2(!stored.contains(where), qPrintable(where));
        stored.insert(where);
    }
}

void TestSettingsFile::writesSignalTheKey_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<QList<Settings::Key>>("expected");
    using K = Settings::Key;
    QTest::newRow("pager setup") << 0 << QList<K>{K::MaxPages, K::CompressPagerWarnings};
    QTest::newRow("shutdown, minimised") << 1 << QList<K>{K::HideIngest, K::ImageShowing};
    QTest::newRow("one key") << 2 << QList<K>{K::VBMWidth};
    QTest::newRow("indexed key") << 3 << QList<K>{K::aFile};
}

void TestSettingsFile::writesSignalTheKey()
{
    QFETCH(int, writer);
    QFETCH(QList<Settings::Key>, expected);
    TestHome home;
    SettingsStore store(home.file(QStringLiteral("v.conf")));
    Settings s;
    QSignalSpy spy(&s, &Settings::changed);
    switch (writer) {
    case 0:
        s.writePagerSetup(store);
        NwwsSettings::read(store).write(store);
        break;
    case 1:
        s.writeShutdown(store, true, true);
        break;
    case 2:
        s.store(store, Settings::Key::VBMWidth);
        break;
    default:
        s.storeText(store, Settings::Key::aFile, QStringLiteral("Marine"), 3);
        QCOMPARE(store.read(QStringLiteral("Config"), QStringLiteral("aFile3"), QString()),
                 QStringLiteral("Marine"));
        QCOMPARE(spy.first().at(1).toInt(), 3);
    }
    QList<Settings::Key> got;
    for (const QList<QVariant>& signal : spy)
        got << signal.at(0).value<Settings::Key>();
    QCOMPARE(got, expected);
}

// Outside the table no logic source spells a stored key as a text, and no
// source at all hands a section name to the store (windows may show a
// caption that happens to equal a key name).
void TestSettingsFile::keysAreSpelledOnlyInTheTable()
{
    QStringList names;
    for (const SettingsEntry& e : SettingsTable::entries())
        names << QRegularExpression::escape(e.name);
    const QRegularExpression keyLiteral(QStringLiteral("\"(%1)\\d*\"").arg(names.join(u'|')));
    const QRegularExpression sectionArgument(
        QStringLiteral("\\b(read|write|contains)\\(\\s*(QStringLiteral\\()?\"(Config|Startup|"
                       "Pager|FTP|Image|Location|Notify|NWWS)\""));
    QStringList found;
    for (const char* dir : {"src", "tools"}) {
        QDirIterator it(QStringLiteral(VANTOREL_SOURCE_ROOT "/") + QLatin1String(dir),
                        {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (file.contains(QLatin1String("/core/Settings")))
                continue;
            const QString text = QString::fromUtf8(readBytes(file));
            const bool window = file.contains(QLatin1String("/ui/"));
            for (const QRegularExpression* rx : {&keyLiteral, &sectionArgument}) {
                if (window && rx == &keyLiteral)
                    continue;
                for (auto m = rx->globalMatch(text); m.hasNext();)
                    found << file.section(u'/', -2) + QStringLiteral(": ") + m.next().captured(0);
            }
        }
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
