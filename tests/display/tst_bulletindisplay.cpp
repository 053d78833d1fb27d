#include "TestSupport.h"
#include "core/LineEnds.h"
#include "display/BulletinDisplay.h"
#include "display/SaveFile.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {
struct Fixture : CoreFixture
{
    Fixture() { settings.SAPath = home.path() + QStringLiteral("/sa/"); }
    BulletinDisplay bulletinObject{settings, display, status, prompter};
    BulletinDisplay* bulletin = &bulletinObject;
    void storeCorpus(const QString& file, const QString& key)
    {
        home.write(QStringLiteral("text/") + key, readBytes(testDataPath("display/" + file)));
    }
};
} // namespace

namespace {
const QString kKey = QStringLiteral("AFDGRR   ~KGRR~MI");

struct SaveFixture : CoreFixture
{
    SaveFixture()
    {
        settings.DefaultSaveDir = home.path() + QStringLiteral("/");
        home.write(QStringLiteral("text/") + kKey, "STORED\r\r\nPRODUCT");
    }
};
} // namespace

class TestBulletinDisplay : public QObject
{
    Q_OBJECT
private slots:
    void corpusForms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("firstLine");
        QTest::newRow("heading") << "AFDBOXMA.TXT"
                                 << "AFDBOX   ~KBOX~MA"
                                 << "FXUS61 KBOX 270001";
        QTest::newRow("raw") << "FLWHGXTX.TXT"
                             << "FLWHGX   ~KHGX~TX"
                             << "173 ";
        QTest::newRow("seq") << "TORBOUCO.TXT"
                             << "TORBOU   ~KBOU~CO"
                             << "000 ";
    }
    void corpusForms()
    {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(QString, firstLine);
        Fixture f;
        f.storeCorpus(file, key);
        QSignalSpy leave(f.bulletin, &BulletinDisplay::leaveCompactRequested);
        f.bulletin->DisplayProd(key);
        const QString text = f.display.text();
        QCOMPARE(f.display.tag(), key);
        // The start-of-heading group is gone and the text begins with what followed it.
        QCOMPARE(text.section(QStringLiteral("\r\n"), 0, 0), firstLine);
        QVERIFY(!text.contains(QChar(1)));
        QVERIFY(!text.contains(QStringLiteral("\r\r")));
        QVERIFY(!text.contains(QChar(0)));
        QCOMPARE(leave.count(), 1);
    }
    void missingProduct()
    {
        Fixture f;
        f.display.setDisplay(QStringLiteral("old"), QStringLiteral("OLD"));
        f.bulletin->DisplayProd(QStringLiteral("AFDGRR   ~KGRR~MI"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QCOMPARE(f.display.tag(), QString());
        f.home.write(QStringLiteral("text/EMPTY"), QByteArray());
        f.bulletin->DisplayProd(QStringLiteral("EMPTY"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QVERIFY(f.prompter.messages.isEmpty());
    }
    void hourlyCollectionsTooLarge()
    {
        Fixture f;
        f.bulletin->DisplayProd(QStringLiteral("SAHOURLY.TXT"));
        QCOMPARE(f.display.text(), QStringLiteral("File too large to be displayed."));
        QCOMPARE(f.display.tag(), QString());
        f.bulletin->DisplayProd(QStringLiteral("SAORCMUS.TXT"));
        QCOMPARE(f.display.text(), BulletinDisplay::TooLarge);
    }
    void hostileNamesRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../secret";
        QTest::newRow("absolute") << "/etc/passwd";
        QTest::newRow("dots") << "..";
        QTest::newRow("backslash") << "A\\B";
        QTest::newRow("lower") << "afdgrr";
    }
    void hostileNamesRefused()
    {
        QFETCH(QString, name);
        Fixture f;
        f.home.write(QStringLiteral("secret"), "do not show");
        f.bulletin->DisplayProd(name);
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY(f.prompter.messages[0].text.startsWith(QStringLiteral("Invalid product name")));
    }
    void missingDirectory()
    {
        Fixture f;
        f.settings.TextPath = f.home.path() + QStringLiteral("/nowhere/");
        f.bulletin->DisplayProd(QStringLiteral("AFDGRR   ~KGRR~MI"));
        QCOMPARE(f.display.text(), BulletinDisplay::NotAvailable);
        QVERIFY(f.status.text().contains(QStringLiteral("nowhere")));
        // AFOS graphics are not shown here at all.
        f.display.setDisplay(QStringLiteral("kept"), QStringLiteral("T"));
        f.bulletin->DisplayProd(QStringLiteral("GPHX.GPH"));
        QCOMPARE(f.display.text(), QStringLiteral("kept"));
    }
    void findText()
    {
        Fixture f;
        f.display.setDisplay(QStringLiteral("TORNADO WARNING\r\nA TORNADO WAS SEEN"),
                             QStringLiteral("K"));
        QSignalSpy select(f.bulletin, &BulletinDisplay::selectRequested);
        f.prompter.inputs << QStringLiteral("tornado");
        f.bulletin->FindText(0);
        QCOMPARE(f.prompter.messages.size(), 0);
        QCOMPARE(select.count(), 1);
        QCOMPARE(select[0][0].toInt(), 0);
        QCOMPARE(select[0][1].toInt(), 7);
        f.bulletin->FindText(1);
        QCOMPARE(select.count(), 2);
        QCOMPARE(select[1][0].toInt(), 19); // the second occurrence, after the first match
        f.bulletin->FindText(1);
        QCOMPARE(select.count(), 2);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("String not found."));
        QCOMPARE(f.prompter.messages[0].title, QStringLiteral("Vantorel Search"));
        QCOMPARE(f.prompter.messages[0].icon, IPrompter::Icon::Information);
    }
    void findTextCancelled()
    {
        Fixture f;
        f.display.setDisplay(QStringLiteral("ABC"), QString());
        QSignalSpy select(f.bulletin, &BulletinDisplay::selectRequested);
        f.prompter.inputs << QString();
        f.bulletin->FindText(0);
        f.bulletin->FindText(1); // nothing remembered yet
        QCOMPARE(select.count(), 0);
        QCOMPARE(f.prompter.messages.size(), 0);
    }
    void stripEOL_data()
    {
        QTest::addColumn<QString>("in");
        QTest::addColumn<QString>("out");
        QTest::newRow("pair") << "A\r\nB"
                              << "A\nB";
        QTest::newRow("final pair stays") << "AB\r\n"
                                          << "AB\r\n";
        QTest::newRow("leading pair") << "\r\nAB"
                                      << "\nAB";
        QTest::newRow("several") << "A\r\nB\r\nC\r\nD"
                                 << "A\nB\nC\nD";
        QTest::newRow("lone cr") << "A\rB\nC"
                                 << "A\rB\nC";
        QTest::newRow("short") << "\r"
                               << "\r";
        QTest::newRow("empty") << ""
                               << "";
    }
    void stripEOL()
    {
        QFETCH(QString, in);
        QFETCH(QString, out);
        QCOMPARE(LineEnds::StripEOL(in), out);
    }
    void logShowsItsEnd_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short log") << 100 << false;
        QTest::newRow("log of a season") << 60000 << true;
    }
    // The alarm log only grows: past a limit its end is shown (the newest alarms),
    // starting at a whole line, under a line that says so.
    void logShowsItsEnd()
    {
        QFETCH(int, lines);
        QFETCH(bool, cut);
        Fixture f;
        QByteArray log;
        for (int i = 0; i < lines; ++i)
            log += "12/6/2026 6:27:51 PM TORGRR   ~KGRR~MI alarm " + QByteArray::number(i) + "\r\n";
        f.bulletin->showTextFile(f.home.write(QStringLiteral("weather.txt"), log));
        const QString shown = f.display.text();
        QCOMPARE(f.display.tag(), QString());
        QVERIFY(shown.endsWith(QStringLiteral("alarm %1\r\n").arg(lines - 1)));
        if (!cut) {
            QCOMPARE(shown, QString::fromLatin1(log));
            return;
        }
        QVERIFY(shown.size() <= BulletinDisplay::MaxLogBytes + 200);
        const QStringList shownLines = shown.split(QStringLiteral("\r\n"));
        QVERIFY2(shownLines[0].startsWith(QStringLiteral("     --- weather.txt holds ")),
                 qPrintable(shownLines[0]));
        QVERIFY(shownLines[1].startsWith(QStringLiteral("12/6/2026 6:27:51 PM TORGRR")));
    }

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
        SaveFixture f;
        f.display.setDisplay(text, tag);
        QVERIFY(!SaveFile(f.display, f.settings, f.store, f.prompter).canSave());
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("No bulletin displayed"));
    }
    void savesStoredFileAndRemembersDirectory()
    {
        SaveFixture f;
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
        SaveFixture f;
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

QTEST_GUILESS_MAIN(TestBulletinDisplay)
#include "tst_bulletindisplay.moc"
