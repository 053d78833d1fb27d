// The alarm windows: scrolling text windows, the marquee strip and the
// sound output that reports what it cannot play.

#include "TestSupport.h"
#include "alarms/ui/Marquee.h"
#include "alarms/ui/QtSoundOutput.h"
#include "alarms/ui/ScrollWindows.h"
#include "alarms/ui/frmScroll.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Fixture
{
    TestHome home;
    SettingsStore store{home.file(QStringLiteral(".config/Vantorel-v15.conf"))};
    Settings settings;
    DisplayState display;
    int mutes = 0;
    int mainShown = 0;
    frmScroll::Context context{settings, store, display, [this] { ++mutes; },
                               [this] { ++mainShown; }};
    ScrollWindows windows{context};
};
} // namespace

class TestAlarmWindows : public QObject
{
    Q_OBJECT
private slots:
    void opensWithStoredWidth_data()
    {
        QTest::addColumn<int>("vbmWidth");
        QTest::addColumn<int>("windowWidth"); // pixels, 15 twips each
        QTest::addColumn<int>("stripWidth");
        QTest::newRow("default") << 9000 << 609 << 600;
        QTest::newRow("wider") << 11865 << 800 << 791;
        QTest::newRow("too narrow to use") << 10 << 109 << 100;
    }
    void opensWithStoredWidth()
    {
        QFETCH(int, vbmWidth);
        QFETCH(int, windowWidth);
        QFETCH(int, stripWidth);
        Fixture f;
        f.settings.VBMWidth = static_cast<qint16>(vbmWidth);
        QVERIFY(f.windows.openScroll(QStringLiteral("TORNADO WARNING"),
                                     QStringLiteral("TORDMX - now"), QStringLiteral("TEXT")));
        frmScroll* w = f.windows.windows().first();
        QCOMPARE(w->width(), windowWidth);
        QCOMPARE(w->vbm()->width(), stripWidth);
        QCOMPARE(w->height(), 59); // 885 twips
        QCOMPARE(w->windowTitle(), QStringLiteral("TORDMX - now"));
        QCOMPARE(w->vbm()->caption(), QStringLiteral("TORNADO WARNING"));
        QCOMPARE(w->vbm()->foreground(), QColor(0, 255, 0));
        QVERIFY(w->vbm()->isActive());
        // Near the bottom left of the screen.
        QCOMPARE(w->x(), 3);
        const int screenHeight = QGuiApplication::primaryScreen()->geometry().height();
        QCOMPARE(w->y(), screenHeight - 59 - 33);
    }
    void widthFollowsResizeAndIsKept()
    {
        Fixture f;
        f.windows.openScroll(QStringLiteral("A"), QStringLiteral("TORDMX - now"), QString());
        frmScroll* w = f.windows.windows().first();
        w->resize(800, 120); // 12000 twips wide; the height stays
        QCOMPARE(f.settings.VBMWidth, qint16(11865));
        QCOMPARE(w->height(), 59);
        QCOMPARE(w->vbm()->width(), 791);
        w->close();
        QCOMPARE(f.store.read("Config", "VBMWidth", ""), QStringLiteral("11865"));
        // The next window opens as wide; so does one after a restart.
        f.windows.openScroll(QStringLiteral("B"), QStringLiteral("TORDMX - later"), QString());
        QCOMPARE(f.windows.windows().first()->width(), 800);
        Settings restarted;
        restarted.VBMWidth = f.store.read("Config", "VBMWidth", "9000").toShort();
        QCOMPARE(restarted.VBMWidth, qint16(11865));
    }
    void clickShowsTextAndCloses_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("displayTag");
        QTest::newRow("product alarm") << "TORDMX - 12/6/2026 6:27:51 PM"
                                       << "TORNADO WARNING FOR POLK"
                                       << "TORDMX";
        QTest::newRow("METAR alarm") << "METAR Observation"
                                     << ""
                                     << "METAR ";
    }
    void clickShowsTextAndCloses()
    {
        QFETCH(QString, title);
        QFETCH(QString, tag);
        QFETCH(QString, displayTag);
        Fixture f;
        f.display.setDisplay(QStringLiteral("something else"), QStringLiteral("AFDGRR"));
        f.windows.openScroll(QStringLiteral("caption"), title, tag);
        QPointer<frmScroll> w = f.windows.windows().first();
        QTest::mouseClick(w->vbm(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f.display.text(), tag);
        QCOMPARE(f.display.tag(), displayTag);
        QCOMPARE(f.mainShown, 1);
        QCOMPARE(f.windows.openCount(), 0);
        QTRY_VERIFY(w.isNull()); // deleted once closed
    }
    void tildeMutes()
    {
        Fixture f;
        f.windows.openScroll(QStringLiteral("caption"), QStringLiteral("TORDMX - now"), QString());
        frmScroll* w = f.windows.windows().first();
        QTest::keyClick(w, Qt::Key_A);
        QTest::keyClick(w, Qt::Key_Escape);
        QCOMPARE(f.mutes, 0);
        QTest::keyClick(w, Qt::Key_AsciiTilde, Qt::ShiftModifier);
        QCOMPARE(f.mutes, 1);
        QCOMPARE(f.windows.openCount(), 1);
    }
    void atMostTenOpen()
    {
        Fixture f;
        for (int i = 0; i < ScrollWindows::MaxOpen; ++i)
            QVERIFY(f.windows.openScroll(QString::number(i), QStringLiteral("T"), QString()));
        QVERIFY(!f.windows.openScroll(QStringLiteral("11"), QStringLiteral("T"), QString()));
        f.windows.windows().at(3)->close();
        QVERIFY(f.windows.openScroll(QStringLiteral("11"), QStringLiteral("T"), QString()));
        QCOMPARE(f.windows.openCount(), ScrollWindows::MaxOpen);
        f.windows.closeAll();
        QCOMPARE(f.windows.openCount(), 0);
    }

    void settings_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::newRow("window's values") << 3 << 100 << 30;
        QTest::newRow("slow") << 1 << 20 << 50;
        QTest::newRow("never faster than 10 ms") << 1 << 1000 << 10;
    }
    void settings()
    {
        QFETCH(int, step);
        QFETCH(int, speed);
        QFETCH(int, interval);
        Marquee m;
        m.setColours(0, 65280);
        QCOMPARE(m.background(), QColor(0, 0, 0));
        QCOMPARE(m.foreground(), QColor(0, 255, 0));
        m.setColours(255, 0xFF0000);
        QCOMPARE(m.background(), QColor(255, 0, 0));
        QCOMPARE(m.foreground(), QColor(0, 0, 255));
        m.setStep(step);
        m.setSpeed(speed);
        QCOMPARE(m.stepInterval(), interval);
    }
    void passesAndRenewal()
    {
        Marquee m;
        m.resize(200, 40);
        m.setStep(5);
        m.setCaption(QStringLiteral("TORNADO WARNING"));
        m.setActive(true);
        QSignalSpy passes(&m, &Marquee::passCompleted);
        QCOMPARE(m.textLeft(), 200); // enters from the right
        m.advance();
        QCOMPARE(m.textLeft(), 195);
        int steps = 1;
        while (passes.isEmpty() && steps < 10000) {
            m.advance();
            ++steps;
        }
        QCOMPARE(passes.size(), 1);
        QVERIFY(steps > 200 / 5); // the whole strip and the caption went by
        QCOMPARE(m.passes(), 0);
        QVERIFY(!m.isActive());
        QCOMPARE(m.textLeft(), 200); // ready for the next pass
        m.setPasses(1);
        QVERIFY(m.isActive());
    }
    void runsOnItsTimer()
    {
        Marquee m;
        m.resize(300, 40);
        m.setCaption(QStringLiteral("SEVERE THUNDERSTORM WARNING"));
        m.setStep(3);
        m.setSpeed(100);
        m.setActive(true);
        QTRY_VERIFY_WITH_TIMEOUT(m.textLeft() <= 300 - 3 * 5, 2000);
        m.setActive(false);
        const int stopped = m.textLeft();
        QVERIFY(!m.isActive()); // its timer stopped: no step is pending
        QCoreApplication::processEvents();
        QCOMPARE(m.textLeft(), stopped);
    }
    void clickReported()
    {
        Marquee m;
        m.resize(200, 40);
        m.show();
        QSignalSpy clicks(&m, &Marquee::clicked);
        QTest::mouseClick(&m, Qt::LeftButton, {}, QPoint(50, 20));
        QTest::mouseClick(&m, Qt::RightButton, {}, QPoint(50, 20));
        QCOMPARE(clicks.size(), 1);
    }

    void reportsOnceWhatCannotPlay()
    {
        TestHome home;
        StatusLine status;
        QtSoundOutput output(status);
        const QString sound = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/alert1.wav");
        if (!output.hasDevice()) {
            // Without a sound device: one note, then silence.
            output.play(sound);
            QCOMPARE(status.text(), QtSoundOutput::NoDevice);
            status.setText(QStringLiteral("Received TORGRR"));
            output.play(sound);
            QCOMPARE(status.text(), QStringLiteral("Received TORGRR"));
            output.beep();
            output.close();
            return;
        }
        output.play(home.file(QStringLiteral("alert7.wav")));
        QVERIFY(status.text().startsWith(QStringLiteral("Sound file not found: ")));
        status.setText(QString());
        output.play(home.file(QStringLiteral("alert7.wav")));
        QVERIFY(status.text().isEmpty());
        output.play(sound);
        output.close();
    }
};

QTEST_MAIN(TestAlarmWindows)
#include "tst_alarmwindows.moc"
