#include "EngineConnection.h"

#include "PacketEncoder.h"

#include <QTcpSocket>

EngineConnection::EngineConnection(ServerList& servers, QString logonAddress, QObject* parent)
    : QObject(parent), m_servers(servers), m_logonAddress(std::move(logonAddress))
{
    for (QTimer* t : {&m_connectTimer, &m_deadTimer, &m_nextTimer})
        t->setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this,
            [this] { lose(QStringLiteral("no answer within the connect time")); });
    connect(&m_deadTimer, &QTimer::timeout, this,
            [this] { lose(QStringLiteral("no data: connection dead")); });
    connect(&m_logonTimer, &QTimer::timeout, this, &EngineConnection::sendLogon);
    connect(&m_nextTimer, &QTimer::timeout, this, &EngineConnection::tryCurrent);
}

EngineConnection::~EngineConnection()
{
    stop();
}

int EngineConnection::logonVersion() const
{
    return m_v1Servers.contains(m_servers.current().text()) ? 1 : 2;
}

void EngineConnection::start()
{
    m_running = true;
    m_failures = 0;
    m_pauseMs = 0;
    tryCurrent();
}

void EngineConnection::stop()
{
    m_running = false;
    for (QTimer* t : {&m_connectTimer, &m_deadTimer, &m_logonTimer, &m_nextTimer})
        t->stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_connected = false;
}

void EngineConnection::tryCurrent()
{
    if (!m_running)
        return;
    if (m_servers.isEmpty())
        emit serversNeeded();
    if (m_servers.isEmpty()) {
        emit logMessage(QStringLiteral("No stream server known; trying again later"));
        m_nextTimer.start(m_timing.longestPauseMs);
        return;
    }
    const ServerList::Server server = m_servers.current();
    m_serverText = server.text();
    m_gotBytes = false;
    m_delivered = false;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &EngineConnection::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &EngineConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { lose(QStringLiteral("closed by the server")); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket)
            lose(m_socket->errorString());
    });
    emit logMessage(QStringLiteral("Connecting to ") + m_serverText);
    emit connecting(m_serverText);
    m_connectTimer.start(m_timing.connectMs);
    m_socket->connectToHost(server.host, server.port);
}

void EngineConnection::onConnected()
{
    m_connectTimer.stop();
    m_connected = true;
    m_connectedClock.start();
    sendLogon();
    m_logonTimer.start(m_timing.logonMs);
    m_deadTimer.start(m_timing.deadMs);
    emit connected(m_serverText);
}

void EngineConnection::sendLogon()
{
    if (!m_socket || !m_connected)
        return;
    m_socket->write(PacketEncoder::xored(PacketEncoder::logon(m_logonAddress, logonVersion())));
}

void EngineConnection::onReadyRead()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    m_gotBytes = true;
    emit received(bytes);
}

void EngineConnection::packetsDecoded()
{
    if (!m_socket || !m_connected)
        return;
    m_deadTimer.start(m_timing.deadMs);
    if (!m_delivered && m_connectedClock.elapsed() >= m_timing.steadyMs) {
        m_delivered = true;
        m_failures = 0;
        m_pauseMs = 0;
    }
}

void EngineConnection::retrySoon()
{
    if (!m_running || m_socket)
        return;
    m_failures = 0;
    m_pauseMs = 0;
    m_nextTimer.start(m_timing.hopMs);
}

void EngineConnection::lose(const QString& reason)
{
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    for (QTimer* t : {&m_connectTimer, &m_deadTimer, &m_logonTimer})
        t->stop();
    const bool wasConnected = m_connected;
    m_connected = false;
    emit logMessage(m_serverText + QStringLiteral(": ") + reason);
    if (wasConnected)
        emit disconnected(reason);
    if (!m_running)
        return;
    // A server that hung up on the V2 logon without sending anything is
    // asked again at once in V1; after a V1 failure it is left to V2 again.
    if (wasConnected && !m_gotBytes) {
        if (!m_v1Servers.contains(m_serverText)) {
            m_v1Servers.insert(m_serverText);
            emit logMessage(m_serverText + QStringLiteral(": trying the V1 logon"));
            scheduleNext(true);
            return;
        }
        m_v1Servers.remove(m_serverText);
    }
    scheduleNext(false);
}

void EngineConnection::scheduleNext(bool sameServer)
{
    if (sameServer) {
        m_nextTimer.start(m_timing.hopMs);
        return;
    }
    if (!m_delivered)
        ++m_failures;
    m_servers.advance();
    if (m_failures < m_servers.servers().size()) {
        m_nextTimer.start(m_timing.hopMs);
        return;
    }
    // a whole pass without data: pause, longer each time
    m_failures = 0;
    m_pauseMs =
        m_pauseMs == 0 ? m_timing.firstPauseMs : std::min(m_pauseMs * 2, m_timing.longestPauseMs);
    emit logMessage(QStringLiteral("No server delivered; next try in %1 s").arg(m_pauseMs / 1000));
    m_nextTimer.start(m_pauseMs);
}
