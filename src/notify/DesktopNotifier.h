#pragma once

#include <QDBusConnection>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// Desktop notifications through the freedesktop notification service on a
// D-Bus session bus. Each notification offers "Show" (also its default
// action, taken when the notification is clicked) and "Mute"; the choices
// come back as showRequested with the key given to notify, and muteRequested.
// Calls are asynchronous: a missing or hung service never blocks the window.
// Without a service, unavailable is emitted once (again only after a
// notification got through in between).
class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    static inline const QString Service = QStringLiteral("org.freedesktop.Notifications");
    static inline const QString Path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString AppName = QStringLiteral("Vantorel");
    static inline const QString ShowAction = QStringLiteral("default");
    static inline const QString MuteAction = QStringLiteral("mute");
    // Keys of open notifications remembered for their actions.
    static constexpr int MaxRemembered = 64;
    static constexpr int CallTimeoutMs = 5000;
    // freedesktop urgency levels.
    enum Urgency : uchar
    {
        Low = 0,
        Normal = 1,
        Critical = 2
    };

    explicit DesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);

    // Raises one notification; the body is plain text (escaped for servers
    // that read markup).
    void notify(const QString& summary, const QString& body, bool critical, const QString& key);

signals:
    void showRequested(const QString& key);
    void muteRequested();
    void unavailable(const QString& message);
    // The server took the notification (its id).
    void delivered(uint id);

private slots:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    void finished(QDBusPendingCallWatcher* watcher, const QString& key);
    void reportUnavailable(const QString& why);

    QDBusConnection m_bus;
    QHash<uint, QString> m_keys;
    QList<uint> m_order; // oldest first, to bound m_keys
    bool m_reported = false;
};
