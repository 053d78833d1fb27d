#pragma once

#include "NwwsMessage.h"
#include "ReconnectPolicy.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>
#include <QString>
#include <atomic>

struct _xmpp_ctx_t;
struct _xmpp_conn_t;
struct _xmpp_stanza_t;

// The XMPP side of the Weather Wire: logs in over STARTTLS, joins the room
// without history, keeps the session alive with XMPP pings and reconnects
// with back-off. run() drives the connection until stop() and belongs in a
// thread of its own; products and reports leave by signals (queued to the
// receivers' threads). A refused password is not tried again until retry().
// Incoming data is bounded: a stanza that grows the parser's memory past
// MaxBufferedBytes ends the connection, a product over MaxProductBytes is
// refused, and while MaxQueued products wait for their receiver the
// connection is not read (the server holds what follows).
class XmppSession : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype MaxProductBytes = 4 * 1024 * 1024;
    static constexpr qint64 MaxBufferedBytes = 64 * 1024 * 1024;
    static constexpr int MaxQueued = 500;

    enum class State
    {
        Connecting,
        Joined,       // in the room, products flow
        Disconnected, // waiting to reconnect
        Refused,      // the password was refused: waiting for retry()
        Stopped,
    };
    Q_ENUM(State)

    struct Config
    {
        QString user;
        QString password;
        QString host;
        quint16 port = 5222;
        QString resource;
        QString caCert;
        QString room;
        int pingIntervalMs = 60000;
        int pingTimeoutMs = 30000;
        int connectTimeoutMs = 60000;
        ReconnectPolicy::Limits backoff;
        bool once = false; // one session: log in, join, end (the configuration's test)
    };

    explicit XmppSession(Config config, QObject* parent = nullptr);
    ~XmppSession() override;

    // Runs until stop(); with Config::once, until the room is joined or the
    // attempt failed.
    void run();
    // Any thread.
    void stop() { m_stop = true; }
    // After a refused password: try again with this one.
    void retry(const QString& password);
    // The receiver has taken one product.
    void taken() { --m_queued; }

signals:
    void productReceived(const NwwsMessage& message);
    void stateChanged(XmppSession::State state, const QString& text);
    void logMessage(const QString& text);

private:
    friend struct XmppCallbacks;

    qint64 session();
    void connected(_xmpp_conn_t* conn);
    void ended(int error, const QString& streamError);
    void takeMessage(_xmpp_stanza_t* stanza);
    void takePresence(_xmpp_conn_t* conn, _xmpp_stanza_t* stanza);
    void takeIq(_xmpp_conn_t* conn, _xmpp_stanza_t* stanza);
    void join(_xmpp_conn_t* conn);
    void keepAlive(_xmpp_conn_t* conn);
    void libraryLog(int level, const char* text);
    void waitForRetry();
    void setState(State state, const QString& text);
    void waitBeforeRetry(int delayMs);
    QString newNickname() const;

    Config m_config;
    _xmpp_ctx_t* m_ctx = nullptr;
    QMutex m_retryLock;
    QString m_retryPassword;
    qint64 m_allocated = 0; // bytes the library holds
    ReconnectPolicy m_policy;
    std::atomic_bool m_stop{false};
    std::atomic_bool m_retry{false};
    std::atomic_int m_queued{0};
    // the state of the current connection (the run thread's alone)
    bool m_ended = false;
    bool m_joined = false;
    bool m_refused = false;
    QString m_endReason;
    QString m_nick;
    QString m_certificateError;
    int m_joinAttempts = 0;
    QElapsedTimer m_sinceJoin;
    QElapsedTimer m_sinceTraffic;
    QElapsedTimer m_sincePing;
    bool m_pingOpen = false;
    int m_pingNumber = 0;
};
