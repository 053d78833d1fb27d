// The running program's alarms on a real notification server (dunst on a
// private session bus): one notification per alarm that shows its product,
// "Show" puts the product in the bulletin area, "Mute" mutes, the alarms
// since the last mute are counted, and the words are spoken after the sound.
#include "../alarms/FiledProductOf.h"
#include "../notify/NotificationServer.h"
#include "TestSupport.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmSound.h"
#include "app/DesktopAlarms.h"
#include "core/AlarmDefinition.h"

#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {
const QString kName = QStringLiteral("TORJANMS.TXT");
const QString kMessage =
    QStringLiteral("critical|Tornado Warning|Forrest, Lamar and Marion counties, MS\n"
                   "until 1:15 PM CDT");

QString sourceData(const char* name)
{
    return QStringLiteral(VANTOREL_SOURCE_ROOT "/data/") + QLatin1String(name);
}
} // namespace

class TestDesktopAlarms : public QObject
{
    Q_OBJECT
    std::unique_ptr<NotificationServer> m_server;
    std::unique_ptr<StateFixture> m_f;

    DesktopAlarms& desktop() { return m_f->state.desktopAlarms(); }

    // The alarm component's hand-over for the tornado warning: screen,
    // scroll (shortened or not) and a sound.
    void alarm(quint8 display, qint16 scroll, quint8 compress, qint16 audio = 0)
    {
        AlarmDefinition definition;
        definition.pattern = QStringLiteral("TORJAN");
        definition.scroll = scroll;
        definition.audio = audio;
        definition.display = display;
        definition.compress = compress;
        m_f->state.getalarm().CheckAlarm(
            filedProductOf(m_f->state.settings, kName, QStringLiteral("TORJAN")), definition, 0);
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "America/Chicago");
        m_server = std::make_unique<NotificationServer>();
        if (!m_server->ok())
            QSKIP(qPrintable(QStringLiteral("dunst cannot start here (%1); desktop "
                                            "notifications not tested")
                                 .arg(m_server->error())));
        // The program's session bus is the private one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_server->address().toUtf8());
        m_f = std::make_unique<StateFixture>();
        MainState& s = m_f->state;
        s.tables.loadCounties(sourceData("fips63.txt"));
        s.tables.loadZones(sourceData("zonecode.csv"));
        QVERIFY(QFile::copy(sourceData("product-list.txt"),
                            m_f->programDir + QStringLiteral("product-list.txt")));
        QVERIFY(QFile::copy(testDataPath(QStringLiteral("corpus/products/") + kName),
                            s.settings.TextPath + kName));
    }

    void init() { m_server->arrived(); }

    void oneNotificationPerAlarm_data()
    {
        QTest::addColumn<quint8>("display");
        QTest::addColumn<qint16>("scroll");
        QTest::addColumn<quint8>("compress");
        QTest::newRow("screen") << quint8(1) << qint16(0) << quint8(0);
        QTest::newRow("scroll") << quint8(0) << qint16(1) << quint8(0);
        QTest::newRow("shortened scroll") << quint8(0) << qint16(1) << quint8(1);
        QTest::newRow("screen and scroll") << quint8(1) << qint16(1) << quint8(0);
    }

    void oneNotificationPerAlarm()
    {
        QFETCH(quint8, display);
        QFETCH(qint16, scroll);
        QFETCH(quint8, compress);
        QSignalSpy delivered(&desktop().notifier(), &DesktopNotifier::delivered);
        alarm(display, scroll, compress);
        QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 1, NotificationServer::StartMs);
        QCOMPARE(m_server->arrived(), QStringList{kMessage});
    }

    // An alarm that does not show its product, and any alarm while the
    // setting is off, raise nothing: only the alarm after them arrives.
    void quietAlarms()
    {
        QSignalSpy delivered(&desktop().notifier(), &DesktopNotifier::delivered);
        QSignalSpy counted(&desktop(), &DesktopAlarms::activeAlarmsChanged);
        alarm(0, 0, 0);
        m_f->state.settings.NotifyDesktop = false;
        alarm(1, 1, 0);
        QCoreApplication::processEvents();
        m_f->state.settings.NotifyDesktop = true;
        QCOMPARE(counted.size(), 2); // the alarms themselves happened
        alarm(1, 0, 0);
        QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 1, NotificationServer::StartMs);
        QCOMPARE(m_server->arrived(), QStringList{kMessage});
    }

    void showAndMute()
    {
        MainState& s = m_f->state;
        s.display.setDisplay(QStringLiteral("something else"));
        QSignalSpy show(&desktop(), &DesktopAlarms::showRequested);
        QSignalSpy delivered(&desktop().notifier(), &DesktopNotifier::delivered);
        alarm(0, 1, 0, 9); // scroll and beep
        QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 1, NotificationServer::StartMs);
        QVERIFY(desktop().activeAlarms() >= 1);
        QVERIFY(s.alarmSound().running());

        QTRY_COMPARE_WITH_TIMEOUT(m_server->displayed(), 1, NotificationServer::StartMs);
        m_server->dunstctl({QStringLiteral("action"), QStringLiteral("0")});
        QTRY_COMPARE_WITH_TIMEOUT(show.size(), 1, NotificationServer::StartMs);
        QCOMPARE(s.display.tag(), kName);
        // The product as filed, not the scroll window's one-line text.
        QCOMPARE(s.display.text(), AlarmComponent::cleanProduct(QString::fromLatin1(readBytes(
                                       testDataPath(QStringLiteral("corpus/products/") + kName)))));

        alarm(0, 1, 1, 9);
        QTRY_COMPARE_WITH_TIMEOUT(delivered.size(), 2, NotificationServer::StartMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_server->displayed() >= 1, NotificationServer::StartMs);
        m_server->dunstctl({QStringLiteral("context")});
        QTRY_VERIFY_WITH_TIMEOUT(!s.alarmSound().running(), NotificationServer::StartMs);
        QCOMPARE(desktop().activeAlarms(), 0);
    }

    // The words follow the alarm's sound.
    void speaks()
    {
        if (QStandardPaths::findExecutable(SpeechSynth::Program).isEmpty())
            QSKIP("espeak-ng is not installed");
        MainState& s = m_f->state;
        s.settings.NotifySpeak = true;
        QSignalSpy spoken(&desktop(), &DesktopAlarms::speechReady);
        alarm(1, 0, 0, 9);
        QTRY_COMPARE_WITH_TIMEOUT(spoken.size(), 1, SpeechSynth::TimeoutMs);
        s.settings.NotifySpeak = false;
        QCOMPARE(spoken.first().at(0).toString(),
                 QStringLiteral(
                     "Tornado warning for Forrest, Lamar and Marion counties until 1:15 PM."));
        qInfo("spoken: %s (%d ms)", qPrintable(spoken.first().at(0).toString()),
              spoken.first().at(2).toInt());
        QVERIFY(s.alarmSound().speechTimer().isActive());
        s.alarmSound().mute();
        QVERIFY(!s.alarmSound().speechTimer().isActive());
    }

    void cleanupTestCase()
    {
        m_f.reset();
        m_server.reset();
    }
};

QTEST_MAIN(TestDesktopAlarms)
#include "tst_desktopalarms.moc"
