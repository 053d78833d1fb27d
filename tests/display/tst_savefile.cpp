#include "TestSupport.h"
#include "display/SaveFile.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QTest>
#include <memory>

namespace {
const QString kKey = QStringLiteral("AFDGRR   ~KGRR~MI");

struct Fixture : CoreFixture
{
    Fixture()
    {
        settings.DefaultSaveDir = home.path() + QStringLiteral("/");
        home.write(QStringLiteral("text/") + kKey, "STORED\r\r\nPRODUCT");
    }
};
} // namespace

class TestSaveFile : public QObject
{
    Q_OBJECT
private slots:
    void nothingToSave_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tag");
        QTest::newRow("empty") << "" << kKey;
        QTest::newRow("not available") << "     --- Product not available ---"
                                       << "";
        QTest::newRow("search result without tag") << "KGRR 051200Z ..."
                                                   << "";
    }
    void nothingToSave()
    {
        QFETCH(QString, text);
        QFETCH(QString, tag);
        Fixture f;
        f.display.setDisplay(text, tag);
        QVERIFY(!SaveFile(f.display, f.settings, f.store, f.prompter).canSave());
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("No bulletin displayed"));
    }
    void savesStoredFileAndRemembersDirectory()
    {
        Fixture f;
        // The shown text was changed (a zone segment): the stored file is saved.
        f.display.setDisplay(QStringLiteral("SEGMENT ONLY"), kKey);
        SaveFile save(f.display, f.settings, f.store, f.prompter);
        QVERIFY(save.canSave());
        QCOMPARE(save.initialPath(), f.home.path() + QStringLiteral("/") + kKey);
        const QString target = f.home.path() + QStringLiteral("/saved/afd.txt");
        QDir().mkpath(f.home.path() + QStringLiteral("/saved"));
        f.home.write(QStringLiteral("saved/afd.txt"), "OLD CONTENT THAT IS LONGER");
        QVERIFY(save.saveReporting(target));
        QCOMPARE(readBytes(target), QByteArray("STORED\r\r\nPRODUCT"));
        const QString dir = f.home.path() + QStringLiteral("/saved/");
        QCOMPARE(f.settings.DefaultSaveDir, dir);
        QCOMPARE(
            f.store.read(QStringLiteral("Config"), QStringLiteral("DefaultSaveDir"), QString()),
            dir);
        QCOMPARE(save.initialPath(), dir + kKey); // the next dialog opens there
    }
    void missingProductReported()
    {
        Fixture f;
        f.display.setDisplay(QStringLiteral("TEXT"), QStringLiteral("ZFPGRR   ~KGRR~MI"));
        const QString before = f.settings.DefaultSaveDir;
        QVERIFY(!SaveFile(f.display, f.settings, f.store, f.prompter)
                     .saveReporting(f.home.path() + QStringLiteral("/x.txt")));
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(
            f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: SaveFile\nError: 53")));
        QVERIFY(!QFile::exists(f.home.path() + QStringLiteral("/x.txt")));
        QCOMPARE(f.settings.DefaultSaveDir, before);
    }
};

QTEST_GUILESS_MAIN(TestSaveFile)
#include "tst_savefile.moc"
