#include "alarms/ui/Marquee.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

class TestMarquee : public QObject
{
    Q_OBJECT
private slots:
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
};

QTEST_MAIN(TestMarquee)
#include "tst_marquee.moc"
