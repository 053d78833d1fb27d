// Desktop notifications on a real notification server (dunst on a private
// bus): what arrives, its urgency, and the "Show" and "Mute" choices.
#include "NotificationServer.h"
#include "notify/DesktopNotifier.h"

#include <QSignalSpy>
#include <QTest>

class TestDesktopNotifier : public QObject
{
    Q_OBJECT
    std::unique_ptr<NotificationServer> m_server;

    void requireServer()
    {
        if (!m_server) {
            m_server = std::make_unique<NotificationServer>();
            if (!m_server->ok())
                qWarning("notification server: %s", qPrintable(m_server->error()));
        }
        if (!m_server->ok())
            QSKIP("dunst cannot start here; desktop notifications not tested");
    }

    // Sends one notification and waits until the server took it.
    uint send(DesktopNotifier& notifier, const QString& summary, const QString& body, bool critical,
              const QString& key)
    {
        QSignalSpy delivered(&notifier, &DesktopNotifier::delivered);
        notifier.notify(summary, body, critical, key);
        if (!delivered.wait(NotificationServer::StartMs))
            return 0;
        return delivered.first().first().toUInt();
    }

private slots:
    void cleanupTestCase() { m_server.reset(); }

    void arrives_data()
    {
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("critical");
        QTest::addColumn<QString>("message");
        QTest::newRow("critical warning")
            << "Tornado Warning"
            << "Forrest, Lamar and Marion counties, MS\nuntil 1:15 PM CDT" << true
            << "critical|Tornado Warning|Forrest, Lamar and Marion counties, MS\nuntil 1:15 PM CDT";
        QTest::newRow("normal advisory")
            << "Winter Weather Advisory"
            << "Kent, MI" << false << "normal|Winter Weather Advisory|Kent, MI";
        // The server reads markup: the body's own characters arrive escaped.
        QTest::newRow("markup characters stay text")
            << "AFDGRRMI: Area Forecast Discussion"
            << "Rain <heavy> & wind" << false
            << "normal|AFDGRRMI: Area Forecast Discussion|Rain &lt;heavy&gt; &amp; wind";
    }

    void arrives()
    {
        requireServer();
        QFETCH(QString, summary);
        QFETCH(QString, body);
        QFETCH(bool, critical);
        DesktopNotifier notifier(m_server->bus());
        QVERIFY(send(notifier, summary, body, critical, QStringLiteral("K")) != 0);
        const QStringList history = m_server->history();
        QVERIFY(!history.isEmpty());
        QTEST(history.first(), "message");
    }

    // Clicking the notification (its default action) shows the product the
    // notification was raised for; the menu's "Mute" mutes.
    void actions()
    {
        requireServer();
        DesktopNotifier notifier(m_server->bus());
        QSignalSpy show(&notifier, &DesktopNotifier::showRequested);
        QSignalSpy mute(&notifier, &DesktopNotifier::muteRequested);
        QVERIFY(send(notifier, QStringLiteral("Tornado Warning"), QStringLiteral("A"), true,
                     QStringLiteral("TORJANMS.TXT")) != 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_server->displayed(), 1, NotificationServer::StartMs);
        m_server->dunstctl({QStringLiteral("action"), QStringLiteral("0")});
        QTRY_COMPARE_WITH_TIMEOUT(show.size(), 1, NotificationServer::StartMs);
        QCOMPARE(show.first().first().toString(), QStringLiteral("TORJANMS.TXT"));

        QVERIFY(send(notifier, QStringLiteral("Flood Watch"), QStringLiteral("B"), false,
                     QStringLiteral("FFAEKACA.TXT")) != 0);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->displayed() >= 1, NotificationServer::StartMs);
        m_server->dunstctl({QStringLiteral("context")});
        QTRY_COMPARE_WITH_TIMEOUT(mute.size(), 1, NotificationServer::StartMs);
        QCOMPARE(show.size(), 1);
    }

    // A bus without a notification server, and no bus at all: one note each,
    // however many alarms follow.
    void unavailableOnce()
    {
        NotificationServer busOnly(false);
        if (!busOnly.ok())
            QSKIP("dbus-daemon cannot start here");
        DesktopNotifier notifier(busOnly.bus());
        QSignalSpy unavailable(&notifier, &DesktopNotifier::unavailable);
        notifier.notify(QStringLiteral("A"), QString(), true, QString());
        notifier.notify(QStringLiteral("B"), QString(), true, QString());
        QTRY_COMPARE_WITH_TIMEOUT(unavailable.size(), 1, NotificationServer::StartMs);

        DesktopNotifier noBus(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent"), QStringLiteral("vantorel-no-bus")));
        QSignalSpy none(&noBus, &DesktopNotifier::unavailable);
        noBus.notify(QStringLiteral("A"), QString(), true, QString());
        noBus.notify(QStringLiteral("B"), QString(), true, QString());
        QCOMPARE(none.size(), 1);
        QVERIFY(none.first().first().toString().contains(QLatin1String("not available")));
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
