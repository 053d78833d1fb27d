#include "notify/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

DesktopNotifier::DesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    const QString interface = Service;
    m_bus.connect(Service, Path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(actionInvoked(uint, QString)));
    m_bus.connect(Service, Path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(notificationClosed(uint, uint)));
}

void DesktopNotifier::notify(const QString& summary, const QString& body, bool critical,
                             const QString& key)
{
    if (!m_bus.isConnected()) {
        reportUnavailable(QStringLiteral("no session bus"));
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    const QStringList actions{ShowAction, QStringLiteral("Show"), MuteAction,
                              QStringLiteral("Mute")};
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(static_cast<uchar>(critical ? Critical : Normal)));
    hints.insert(QStringLiteral("category"), QStringLiteral("alarm"));
    call << AppName << uint(0) << QString() << summary << body.toHtmlEscaped() << actions << hints
         << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* w) { finished(w, key); });
}

void DesktopNotifier::finished(QDBusPendingCallWatcher* watcher, const QString& key)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError()) {
        reportUnavailable(reply.error().message());
        return;
    }
    m_reported = false;
    const uint id = reply.value();
    m_keys.insert(id, key);
    m_order.removeAll(id);
    m_order.append(id);
    while (m_order.size() > MaxRemembered)
        m_keys.remove(m_order.takeFirst());
    emit delivered(id);
}

void DesktopNotifier::reportUnavailable(const QString& why)
{
    if (m_reported)
        return;
    m_reported = true;
    emit unavailable(QStringLiteral("Desktop notifications are not available (%1).").arg(why));
}

void DesktopNotifier::actionInvoked(uint id, const QString& action)
{
    if (!m_keys.contains(id))
        return; // another program's notification
    const QString key = m_keys.value(id);
    // Done with: the notification goes (a critical one would stay).
    m_bus.asyncCall(
        QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("CloseNotification"))
        << id);
    if (action == ShowAction)
        emit showRequested(key);
    else if (action == MuteAction)
        emit muteRequested();
}

void DesktopNotifier::notificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason)
    m_keys.remove(id);
    m_order.removeAll(id);
}
