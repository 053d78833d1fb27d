#include "TestSupport.h"
#include "core/DisplayState.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/ISlideTarget.h"
#include "images/ISlideViewer.h"
#include "images/SlideFile.h"
#include "images/SlideShow.h"

#include <QDir>
#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(SlideFile::Kind)

namespace {

// Records what the slide show asks for; a requested text product is shown
// from the text directory as the manual entry box would show it.
struct Recorder : ISlideTarget, ISlideViewer
{
    DisplayState* display = nullptr;
    QString textPath;
    QStringList calls;

    void requestTextProduct(const QString& name) override
    {
        calls << QStringLiteral("text ") + name;
        const QStringList found = QDir(textPath).entryList({name + QLatin1Char('*')});
        if (found.isEmpty())
            display->setDisplay(QStringLiteral("     --- Product not available ---"));
        else
            display->setDisplay(QString::fromLatin1(readBytes(textPath + found.first())),
                                found.first());
    }
    void hideForText() override { calls << QStringLiteral("hide"); }
    void showLoop(const QString& name) override { calls << QStringLiteral("loop ") + name; }
    void showSingle(const QString& name) override { calls << QStringLiteral("single ") + name; }
};

struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    Settings settings;
    DisplayState display;
    StatusLine status;
    ScriptedPrompter prompter;
    Recorder recorder;
    SlideShow show{{programDir, settings, display, status, prompter, recorder, recorder}};

    Fixture()
    {
        settings.TextPath = home.path() + QStringLiteral("/text/");
        QDir().mkpath(programDir);
        QDir().mkpath(settings.TextPath);
        recorder.display = &display;
        recorder.textPath = settings.TextPath;
    }
    void slides(const QByteArray& text, const QString& name = SlideFile::FileName)
    {
        home.write(QStringLiteral("prog/") + name, text);
    }
    QString last() const { return recorder.calls.isEmpty() ? QString() : recorder.calls.last(); }
};
} // namespace

class TestSlideShow : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("slides");
        QTest::addColumn<bool>("overflow");
        QTest::newRow("comments and empty lines")
            << QStringList({"# header", "RADALLUS.GIF", "", "AFDGRRMI", "#", "ZFPGRRMI"})
            << QStringList({"RADALLUS.GIF", "AFDGRRMI", "ZFPGRRMI"}) << false;
        QTest::newRow("last line a comment") << QStringList({"AFDGRRMI", "ZFPGRRMI", "# end"})
                                             << QStringList({"AFDGRRMI", "ZFPGRRMI"}) << false;
        QTest::newRow("kept unchanged") << QStringList({" AFDGRRMI ", "RADALLUS.GIF! "})
                                        << QStringList({" AFDGRRMI ", "RADALLUS.GIF! "}) << false;
        QStringList many;
        for (int i = 0; i < 103; ++i)
            many << QStringLiteral("SLIDE%1").arg(i, 3, 10, QLatin1Char('0'));
        QTest::newRow("101 slides at most") << many << many.mid(0, 101) << true;
        QTest::newRow("exactly 101") << many.mid(0, 101) << many.mid(0, 101) << false;
    }
    void parse()
    {
        QFETCH(QStringList, lines);
        bool overflow = false;
        QTEST(SlideFile::parse(lines, &overflow), "slides");
        QTEST(overflow, "overflow");
    }
    void classify_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<SlideFile::Kind>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("zone");
        using K = SlideFile::Kind;
        QTest::newRow("gif loop") << "RADALLUS.GIF" << K::ImageLoop << "RADALLUS"
                                  << "";
        QTest::newRow("jpg loop") << "G16CIRUS.JPG" << K::ImageLoop << "G16CIRUS"
                                  << "";
        QTest::newRow("jpg single") << "G16CIRUS.JPG!" << K::ImageSingle << "G16CIRUS"
                                    << "";
        QTest::newRow("trailing blank is no single")
            << "RADALLUS.GIF " << K::ImageLoop << "RADALLUS"
            << "";
        QTest::newRow("lower-case extension is text") << "RADALLUS.gif" << K::Text << "RADALLUS"
                                                      << "";
        QTest::newRow("text") << "AFDGRRMI" << K::Text << "AFDGRRMI"
                              << "";
        QTest::newRow("text cut to 8") << "AFDGRRMI.TXT" << K::Text << "AFDGRRMI"
                                       << "";
        QTest::newRow("zone") << "WSWGRRMI!MIZ050" << K::TextZone << "WSWGRRMI"
                              << "MIZ050";
        QTest::newRow("short name and zone") << "WSWGRR!MIZ050" << K::TextZone << "WSWGRR"
                                             << "MIZ050";
    }
    void classify()
    {
        QFETCH(QString, line);
        const SlideFile::Slide slide = SlideFile::classify(line);
        QTEST(slide.kind, "kind");
        QTEST(slide.name, "name");
        QTEST(slide.zoneCode, "zone");
    }
    void sequence()
    {
        Fixture f;
        f.slides("# three slides\r\nRADALLUS.GIF\r\n# single\r\nFORSPCD1.GIF!\r\nAFDGRRMI\r\n");
        f.show.toggle();
        QVERIFY(f.show.checked());
        QVERIFY(f.show.running());
        QCOMPARE(f.show.timer().interval(), 15000);
        QCOMPARE(f.show.LastSlide(), 2);
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS")); // at once
        f.show.showNextSlide();                              // 15 s
        QCOMPARE(f.last(), QStringLiteral("single FORSPCD1"));
        f.show.showNextSlide(); // 30 s
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
        f.show.showNextSlide(); // 45 s: from the start again
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS"));
        QCOMPARE(f.show.CurrentSlide(), 1);
    }
    void restartPosition()
    {
        Fixture f;
        f.slides("RADALLUS.GIF\nG16CIRUS.JPG\nAFDGRRMI\nZFPGRRMI\n");
        f.show.toggle();        // slide 0
        f.show.showNextSlide(); // slide 1
        f.show.toggle();        // off
        QVERIFY(!f.show.running());
        QVERIFY(!f.show.checked());
        f.show.toggle(); // on again: the slide after the last one shown
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
        f.show.toggle();
        f.slides("RADALLUS.GIF\nG16CIRUS.JPG\n"); // now shorter than the position
        f.show.toggle();
        QCOMPARE(f.last(), QStringLiteral("loop RADALLUS"));
    }
    void missingFile()
    {
        Fixture f;
        f.show.toggle();
        QVERIFY(!f.show.running());
        QVERIFY(f.show.checked()); // the item stays checked
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages.first().text, SlideShow::NoSlides);
        QCOMPARE(f.prompter.messages.first().title, SlideShow::Title);
        QCOMPARE(f.prompter.messages.first().icon, IPrompter::Icon::Critical);
        QVERIFY(f.recorder.calls.isEmpty());

        // The file name is matched without regard to case.
        f.show.toggle();
        f.slides("AFDGRRMI\n", QStringLiteral("SlideShow.TXT"));
        f.show.toggle();
        QCOMPARE(f.last(), QStringLiteral("text AFDGRRMI"));
    }
    void zoneSegment()
    {
        Fixture f;
        const QString key = QStringLiteral("WSWGRR   ~KGRR~MI");
        QFile::copy(testDataPath(QStringLiteral("ugc/WSWGRRMI.TXT")), f.settings.TextPath + key);
        f.slides("WSWGRR!MIZ050\nWSWGRR!MIZ051\nWSWGRR!TXZ001\n");
        f.show.toggle();
        QCOMPARE(f.display.tag(), key);
        QVERIFY(f.display.text().startsWith(QStringLiteral("MIZ037>040-043>046-050-030430-")));
        QVERIFY(!f.display.text().contains(QLatin1String("MIZ051")));
        f.show.showNextSlide();
        QVERIFY(f.display.text().startsWith(QStringLiteral("MIZ051-052")));
        f.show.showNextSlide(); // no segment for the zone: the whole product stays
        QVERIFY(f.display.text().contains(QLatin1String("WWUS43 KGRR")));
        QCOMPARE(f.display.tag(), key);
    }
    void textSlideHidesViewer()
    {
        Fixture f;
        f.slides("NOSUCHPR!MIZ050\n");
        f.show.toggle();
        QCOMPARE(f.recorder.calls, QStringList({"hide", "text NOSUCHPR"}));
        QCOMPARE(f.display.text(), QStringLiteral("     --- Product not available ---"));
    }
};

QTEST_GUILESS_MAIN(TestSlideShow)
#include "tst_slideshow.moc"
