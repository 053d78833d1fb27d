#pragma once

#include "ServerList.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QTimer>

class QTcpSocket;

// The connection to one stream server at a time, never blocking: connects
// with a short timeout, logs on (V2, or V1 where a server would not serve V2)
// and repeats the logon, treats a silent connection as dead, hops to the next
// candidate on any loss and pauses with a growing back-off after a pass in
// which no server delivered. Only decoded packets count: they keep a
// connection alive, and a server counts as delivering (the back-off starts
// over) once it has sent packets for a while; bytes that decode to nothing,
// or a server list followed by a hang-up, do neither.
class EngineConnection : public QObject
{
    Q_OBJECT
public:
    struct Timing
    {
        int connectMs = 5000;
        int deadMs = 30000;
        int logonMs = 180000;
        int firstPauseMs = 5000;
        int longestPauseMs = 60000;
        int hopMs = 250;      // between candidates within a pass
        int steadyMs = 60000; // packets for this long: the server delivers
    };

    EngineConnection(ServerList& servers, QString logonAddress, QObject* parent = nullptr);
    ~EngineConnection() override;

    void setTiming(const Timing& timing) { m_timing = timing; }
    void start();
    void stop();

    bool isConnected() const { return m_connected; }
    QString serverText() const { return m_serverText; }
    // The protocol version sent in the logon to the server in use.
    int logonVersion() const;
    // The stream of this connection gave whole packets.
    void packetsDecoded();
    // The candidates changed (the user's list): a waiting engine tries at once.
    void retrySoon();

signals:
    void received(const QByteArray& bytes);
    void connecting(const QString& server);
    // No candidate is known: a chance to fill the list before the next try.
    void serversNeeded();
    void connected(const QString& server);
    void disconnected(const QString& reason);
    void logMessage(const QString& text);

private:
    void tryCurrent();
    void onConnected();
    void onReadyRead();
    void lose(const QString& reason);
    void sendLogon();
    void scheduleNext(bool sameServer);

    ServerList& m_servers;
    QString m_logonAddress;
    Timing m_timing;
    QTcpSocket* m_socket = nullptr;
    QTimer m_connectTimer;
    QTimer m_deadTimer;
    QTimer m_logonTimer;
    QTimer m_nextTimer;
    QSet<QString> m_v1Servers; // servers that closed on a V2 logon
    QString m_serverText;
    QElapsedTimer m_connectedClock;
    bool m_connected = false;
    bool m_gotBytes = false;  // anything at all came (a V1-only server sends nothing)
    bool m_delivered = false; // packets for long enough: the back-off starts over
    bool m_running = false;
    int m_failures = 0; // candidates tried in a row without data
    int m_pauseMs = 0;
};
