#include "app/FeedWatch.h"

#include <QTest>

// The two feeds watched against each other: each silence is reported once,
// and again only after the feed came back.
class TestFeedWatch : public QObject
{
    Q_OBJECT
private slots:
    void silences_data()
    {
        QTest::addColumn<QString>("minutes"); // per minute: letters W, A, D
        QTest::addColumn<QStringList>("notices");
        const QString both = QStringLiteral("WAD ").repeated(16);
        QTest::newRow("both run") << both + QStringLiteral("WAD ").repeated(30) << QStringList();
        QTest::newRow("wire stops: once")
            << both + QStringLiteral("A ").repeated(30)
            << QStringList{QStringLiteral("NWWS feed silent since 00:15 while the broadcast runs")};
        QTest::newRow("broadcast stops: once")
            << both + QStringLiteral("WA ").repeated(30)
            << QStringList{QStringLiteral("Broadcast feed silent since 00:15 while NWWS runs")};
        QTest::newRow("wire stops twice")
            << both + QStringLiteral("A ").repeated(16) + QStringLiteral("WAD ").repeated(2) +
                   QStringLiteral("A ").repeated(16)
            << QStringList{QStringLiteral("NWWS feed silent since 00:15 while the broadcast runs"),
                           QStringLiteral("NWWS feed silent since 00:33 while the broadcast runs")};
        QTest::newRow("everything silent: the data-loss alarm's business")
            << both + QStringLiteral("- ").repeated(30) << QStringList();
        QTest::newRow("no wire yet at start")
            << QStringLiteral("A ").repeated(20)
            << QStringList{QStringLiteral("NWWS feed silent while the broadcast runs")};
    }
    void silences()
    {
        QFETCH(QString, minutes);
        QFETCH(QStringList, notices);
        FeedWatch watch;
        const QDateTime start(QDate(2026, 12, 7), QTime(0, 0));
        FeedWatch::Reading r;
        QStringList got;
        int minute = 0;
        for (const QString& m : minutes.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            r.now = start.addSecs(60 * minute++);
            if (m.contains(QLatin1Char('W')))
                r.lastWire = r.now;
            if (m.contains(QLatin1Char('A')))
                r.lastArrival = r.now;
            if (m.contains(QLatin1Char('D')))
                ++r.duplicates;
            const QString notice = watch.check(r);
            if (!notice.isEmpty())
                got << notice;
        }
        QCOMPARE(got, notices);
    }
};

QTEST_GUILESS_MAIN(TestFeedWatch)
#include "tst_feedwatch.moc"
