#include "TestSupport.h"
#include "alarms/ui/Marquee.h"
#include "alarms/ui/ScrollWindows.h"
#include "alarms/ui/frmScroll.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
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

class TestScrollWindows : public QObject
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
};

QTEST_MAIN(TestScrollWindows)
#include "tst_scrollwindows.moc"
