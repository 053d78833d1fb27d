#include "XmppSession.h"

#include <QMutexLocker>
#include <QRandomGenerator>
#include <QThread>

#include <cstdlib>
#include <cstring>
#include <strophe.h>

namespace {
constexpr const char* kMucNs = "http://jabber.org/protocol/muc";
constexpr const char* kMucUserNs = "http://jabber.org/protocol/muc#user";
constexpr const char* kPingNs = "urn:xmpp:ping";
constexpr const char* kProductNs = "nwws-oi";
constexpr int kMaxJoinAttempts = 5;
constexpr int kStopGraceMs = 2000;
constexpr int kRunSliceMs = 50;

// The library's allocations carry their size so that what it holds (the
// stanza being parsed above all) can be bounded.
constexpr size_t kHeader = alignof(std::max_align_t);

void* countedAlloc(size_t size, void* counter)
{
    auto* p = static_cast<char*>(std::malloc(size + kHeader));
    if (!p)
        return nullptr;
    std::memcpy(p, &size, sizeof size);
    *static_cast<qint64*>(counter) += static_cast<qint64>(size);
    return p + kHeader;
}

void countedFree(void* block, void* counter)
{
    if (!block)
        return;
    char* p = static_cast<char*>(block) - kHeader;
    size_t size = 0;
    std::memcpy(&size, p, sizeof size);
    *static_cast<qint64*>(counter) -= static_cast<qint64>(size);
    std::free(p);
}

void* countedRealloc(void* block, size_t size, void* counter)
{
    if (!block)
        return countedAlloc(size, counter);
    char* p = static_cast<char*>(block) - kHeader;
    size_t old = 0;
    std::memcpy(&old, p, sizeof old);
    auto* moved = static_cast<char*>(std::realloc(p, size + kHeader));
    if (!moved)
        return nullptr;
    std::memcpy(moved, &size, sizeof size);
    *static_cast<qint64*>(counter) += static_cast<qint64>(size) - static_cast<qint64>(old);
    return moved + kHeader;
}

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

// A stanza child with a name and a namespace, released to its parent.
xmpp_stanza_t* addChild(xmpp_ctx_t* ctx, xmpp_stanza_t* parent, const char* name, const char* ns)
{
    xmpp_stanza_t* child = xmpp_stanza_new(ctx);
    xmpp_stanza_set_name(child, name);
    if (ns)
        xmpp_stanza_set_ns(child, ns);
    xmpp_stanza_add_child(parent, child);
    xmpp_stanza_release(child);
    return child;
}

// The name of the first child of an error stanza's <error>: the condition.
QString errorCondition(xmpp_stanza_t* stanza)
{
    xmpp_stanza_t* error = xmpp_stanza_get_child_by_name(stanza, "error");
    xmpp_stanza_t* condition = error ? xmpp_stanza_get_children(error) : nullptr;
    while (condition && !xmpp_stanza_get_name(condition))
        condition = xmpp_stanza_get_next(condition);
    return condition ? text(xmpp_stanza_get_name(condition)) : QStringLiteral("unknown");
}

thread_local XmppSession* t_session =
    nullptr; // for the certificate handler, which has no user data
} // namespace

// The library's C callbacks, which reach the session's private parts.
struct XmppCallbacks
{
    static int message(xmpp_conn_t*, xmpp_stanza_t* stanza, void* self)
    {
        static_cast<XmppSession*>(self)->takeMessage(stanza);
        return 1;
    }
    static int presence(xmpp_conn_t* conn, xmpp_stanza_t* stanza, void* self)
    {
        static_cast<XmppSession*>(self)->takePresence(conn, stanza);
        return 1;
    }
    static int iq(xmpp_conn_t* conn, xmpp_stanza_t* stanza, void* self)
    {
        static_cast<XmppSession*>(self)->takeIq(conn, stanza);
        return 1;
    }
    static void connection(xmpp_conn_t* conn, xmpp_conn_event_t event, int error,
                           xmpp_stream_error_t* streamError, void* self)
    {
        auto* session = static_cast<XmppSession*>(self);
        if (event == XMPP_CONN_CONNECT) {
            session->connected(conn);
        } else if (event != XMPP_CONN_RAW_CONNECT) {
            QString stream;
            if (streamError)
                stream = streamError->text ? text(streamError->text)
                                           : QStringLiteral("type %1").arg(streamError->type);
            session->ended(error, stream);
        }
    }
    static void log(void* self, xmpp_log_level_t level, const char*, const char* message)
    {
        static_cast<XmppSession*>(self)->libraryLog(level, message);
    }
    static int certificateFailure(const xmpp_tlscert_t*, const char* const error)
    {
        if (t_session)
            t_session->m_certificateError = text(error);
        return 0; // an untrusted server gets no password
    }
};

XmppSession::XmppSession(Config config, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_policy(m_config.backoff)
{
    qRegisterMetaType<NwwsMessage>();
    qRegisterMetaType<XmppSession::State>();
}

XmppSession::~XmppSession() = default;

void XmppSession::retry(const QString& password)
{
    QMutexLocker lock(&m_retryLock);
    m_retryPassword = password;
    m_retry = true;
}

void XmppSession::run()
{
    t_session = this;
    xmpp_initialize();
    const xmpp_mem_t memory{&countedAlloc, &countedFree, &countedRealloc, &m_allocated};
    const xmpp_log_t logger{&XmppCallbacks::log, this};
    m_ctx = xmpp_ctx_new(&memory, &logger);
    while (!m_stop) {
        const qint64 sessionMs = session();
        if (m_config.once || m_stop)
            break;
        if (m_refused) {
            waitForRetry();
            continue;
        }
        const int delay = m_policy.nextDelay(sessionMs);
        setState(State::Disconnected,
                 m_endReason +
                     QStringLiteral("; next attempt in %1 s").arg(delay / 1000.0, 0, 'f', 1));
        waitBeforeRetry(delay);
    }
    xmpp_ctx_free(m_ctx);
    m_ctx = nullptr;
    xmpp_shutdown();
    t_session = nullptr;
    setState(State::Stopped, m_endReason);
}

// One connection from its start to its end; how long it stayed in the room.
qint64 XmppSession::session()
{
    m_ended = m_joined = m_refused = m_pingOpen = false;
    m_sinceTraffic.invalidate();
    m_endReason.clear();
    m_certificateError.clear();
    m_joinAttempts = 0;
    xmpp_conn_t* conn = xmpp_conn_new(m_ctx);
    const QByteArray jid =
        (m_config.user + QLatin1Char('@') + m_config.host + QLatin1Char('/') + m_config.resource)
            .toUtf8();
    xmpp_conn_set_jid(conn, jid.constData());
    xmpp_conn_set_pass(conn, m_config.password.toUtf8().constData());
    xmpp_conn_set_flags(conn, XMPP_CONN_FLAG_MANDATORY_TLS | XMPP_CONN_FLAG_DISABLE_SM);
    if (!m_config.caCert.isEmpty())
        xmpp_conn_set_cafile(conn, m_config.caCert.toLocal8Bit().constData());
    xmpp_conn_set_certfail_handler(conn, &XmppCallbacks::certificateFailure);
    const QString address = m_config.host + QLatin1Char(':') + QString::number(m_config.port);
    setState(State::Connecting, QStringLiteral("Connecting to ") + address);
    // the host is given as the address too, so that no service lookup goes out
    if (xmpp_connect_client(conn, m_config.host.toUtf8().constData(), m_config.port,
                            &XmppCallbacks::connection, this) != XMPP_EOK) {
        m_ended = true;
        m_endReason = QStringLiteral("cannot connect to ") + address;
    }
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer stopping;
    bool closing = false;
    while (!m_ended) {
        if ((m_stop || m_allocated > MaxBufferedBytes ||
             (!m_joined && clock.elapsed() > m_config.connectTimeoutMs)) &&
            !closing) {
            if (m_allocated > MaxBufferedBytes)
                m_endReason =
                    QStringLiteral("a stanza larger than %1 MB").arg(MaxBufferedBytes >> 20);
            else if (!m_stop)
                m_endReason =
                    QStringLiteral("no session within %1 s").arg(m_config.connectTimeoutMs / 1000);
            closing = true;
            stopping.start();
            xmpp_disconnect(conn);
        }
        if (closing && stopping.elapsed() > kStopGraceMs)
            break;
        if (m_queued >= MaxQueued && !closing) {
            QThread::msleep(5); // the receiver is behind: leave the rest with the server
            m_sinceTraffic.restart();
            m_sincePing.restart();
            continue;
        }
        xmpp_run_once(m_ctx, kRunSliceMs);
        if (!closing)
            keepAlive(conn);
    }
    xmpp_conn_release(conn);
    return m_joined ? m_sinceJoin.elapsed() : 0;
}

void XmppSession::connected(xmpp_conn_t* conn)
{
    xmpp_handler_add(conn, &XmppCallbacks::message, nullptr, "message", "groupchat", this);
    xmpp_handler_add(conn, &XmppCallbacks::presence, nullptr, "presence", nullptr, this);
    xmpp_handler_add(conn, &XmppCallbacks::iq, nullptr, "iq", nullptr, this);
    xmpp_stanza_t* presence = xmpp_presence_new(m_ctx);
    xmpp_send(conn, presence);
    xmpp_stanza_release(presence);
    m_sinceTraffic.start();
    m_sincePing.start();
    setState(State::Connecting, QStringLiteral("Logged in as ") + m_config.user +
                                    QStringLiteral("; joining ") + m_config.room);
    join(conn);
}

// Enters the room under a fresh nickname (a session that has not yet timed
// out at the server may still hold the last one), asking for no history.
void XmppSession::join(xmpp_conn_t* conn)
{
    ++m_joinAttempts;
    m_nick = newNickname();
    xmpp_stanza_t* presence = xmpp_presence_new(m_ctx);
    xmpp_stanza_set_to(presence, (m_config.room + QLatin1Char('/') + m_nick).toUtf8().constData());
    xmpp_stanza_t* x = addChild(m_ctx, presence, "x", kMucNs);
    xmpp_stanza_t* history = addChild(m_ctx, x, "history", nullptr);
    xmpp_stanza_set_attribute(history, "maxstanzas", "0");
    xmpp_send(conn, presence);
    xmpp_stanza_release(presence);
}

QString XmppSession::newNickname() const
{
    return m_config.resource + QLatin1Char('-') +
           QString::number(QRandomGenerator::global()->bounded(0x10000), 16);
}

void XmppSession::ended(int error, const QString& streamError)
{
    m_ended = true;
    if (!m_endReason.isEmpty())
        return;
    if (m_refused)
        m_endReason = QStringLiteral("the server refused the password of ") + m_config.user;
    else if (!m_certificateError.isEmpty())
        m_endReason = QStringLiteral("the server's certificate is not trusted (") +
                      m_certificateError + QLatin1Char(')');
    else if (!streamError.isEmpty())
        m_endReason = QStringLiteral("the server ended the session: ") + streamError;
    else if (error != 0)
        m_endReason =
            QStringLiteral("connection lost: ") + QString::fromLocal8Bit(std::strerror(error));
    else
        m_endReason = m_joined ? QStringLiteral("connection closed")
                               : QStringLiteral("no session with the server (it cannot be "
                                                "reached, or it closed the connection before "
                                                "the session began)");
}

void XmppSession::takeMessage(xmpp_stanza_t* stanza)
{
    m_sinceTraffic.restart();
    const QString from = text(xmpp_stanza_get_from(stanza));
    xmpp_stanza_t* x = xmpp_stanza_get_child_by_name_and_ns(stanza, "x", kProductNs);
    if (!x || !from.startsWith(m_config.room + QLatin1Char('/'), Qt::CaseInsensitive))
        return; // room talk, not a product
    NwwsMessage m;
    m.cccc = text(xmpp_stanza_get_attribute(x, "cccc"));
    m.ttaaii = text(xmpp_stanza_get_attribute(x, "ttaaii"));
    m.issue = text(xmpp_stanza_get_attribute(x, "issue"));
    m.awipsId = text(xmpp_stanza_get_attribute(x, "awipsid"));
    m.id = text(xmpp_stanza_get_attribute(x, "id"));
    char* body = xmpp_stanza_get_text(x);
    m.body = body ? QByteArray(body) : QByteArray();
    xmpp_free(m_ctx, body);
    if (m.body.size() > MaxProductBytes) {
        emit logMessage(QStringLiteral("Refused product %1 %2 (id %3): %4 bytes, over the limit "
                                       "of %5")
                            .arg(m.ttaaii, m.cccc, m.id)
                            .arg(m.body.size())
                            .arg(MaxProductBytes));
        return;
    }
    ++m_queued;
    emit productReceived(m);
}

void XmppSession::takePresence(xmpp_conn_t* conn, xmpp_stanza_t* stanza)
{
    m_sinceTraffic.restart();
    const QString from = text(xmpp_stanza_get_from(stanza));
    if (from.compare(m_config.room + QLatin1Char('/') + m_nick, Qt::CaseInsensitive) != 0)
        return; // others coming and going
    const QString type = text(xmpp_stanza_get_type(stanza));
    if (type == QLatin1String("error")) {
        const QString condition = errorCondition(stanza);
        if (condition == QLatin1String("conflict") && m_joinAttempts < kMaxJoinAttempts) {
            join(conn);
            return;
        }
        m_endReason =
            QStringLiteral("cannot join ") + m_config.room + QStringLiteral(": ") + condition;
        xmpp_disconnect(conn);
    } else if (type == QLatin1String("unavailable")) {
        m_endReason = QStringLiteral("removed from ") + m_config.room;
        xmpp_disconnect(conn);
    } else if (!m_joined) {
        m_joined = true;
        m_sinceJoin.start();
        setState(State::Joined,
                 QStringLiteral("Joined ") + m_config.room + QStringLiteral(" as ") + m_nick);
        if (m_config.once) {
            m_endReason = QStringLiteral("test complete");
            xmpp_disconnect(conn);
        }
    }
}

void XmppSession::takeIq(xmpp_conn_t* conn, xmpp_stanza_t* stanza)
{
    m_sinceTraffic.restart();
    const QString type = text(xmpp_stanza_get_type(stanza));
    const QString id = text(xmpp_stanza_get_id(stanza));
    if (type == QLatin1String("get") &&
        xmpp_stanza_get_child_by_name_and_ns(stanza, "ping", kPingNs)) {
        xmpp_stanza_t* reply = xmpp_stanza_reply(stanza);
        xmpp_stanza_set_type(reply, "result");
        xmpp_send(conn, reply);
        xmpp_stanza_release(reply);
    } else if (id == QStringLiteral("ping-%1").arg(m_pingNumber)) {
        m_pingOpen = false; // an answer of any kind: the server is there
    }
}

// A ping after pingIntervalMs without traffic; no answer within
// pingTimeoutMs ends the connection, which is then made anew.
void XmppSession::keepAlive(xmpp_conn_t* conn)
{
    if (!m_sinceTraffic.isValid())
        return;
    if (m_pingOpen) {
        if (m_sincePing.elapsed() > m_config.pingTimeoutMs) {
            m_endReason =
                QStringLiteral("no answer to a ping in %1 s").arg(m_config.pingTimeoutMs / 1000);
            xmpp_disconnect(conn);
            m_sinceTraffic.invalidate();
        }
        return;
    }
    if (m_sinceTraffic.elapsed() < m_config.pingIntervalMs ||
        m_sincePing.elapsed() < m_config.pingIntervalMs)
        return;
    const QByteArray id = QStringLiteral("ping-%1").arg(++m_pingNumber).toLatin1();
    xmpp_stanza_t* iq = xmpp_iq_new(m_ctx, "get", id.constData());
    xmpp_stanza_set_to(iq, m_config.host.toUtf8().constData());
    addChild(m_ctx, iq, "ping", kPingNs);
    xmpp_send(conn, iq);
    xmpp_stanza_release(iq);
    m_pingOpen = true;
    m_sincePing.restart();
}

void XmppSession::libraryLog(int level, const char* message)
{
    const QString line = text(message);
    if (line.contains(QLatin1String("auth failed")) ||
        line.contains(QLatin1String("Cannot authenticate")))
        m_refused = true;
    if (level >= XMPP_LEVEL_ERROR)
        emit logMessage(QStringLiteral("XMPP: ") + line.left(300));
}

void XmppSession::setState(State state, const QString& text)
{
    emit stateChanged(state, text);
}

void XmppSession::waitBeforeRetry(int delayMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_stop && clock.elapsed() < delayMs)
        QThread::msleep(std::min<qint64>(50, delayMs - clock.elapsed() + 1));
}

// A refused password is not tried again by itself: the account could be
// locked by repeated attempts. A new password (the file changed) is.
void XmppSession::waitForRetry()
{
    setState(State::Refused, m_endReason + QStringLiteral("; not trying again until the "
                                                          "password is changed"));
    while (!m_stop && !m_retry)
        QThread::msleep(100);
    QMutexLocker lock(&m_retryLock);
    if (m_retry)
        m_config.password = m_retryPassword;
    m_retry = false;
}
