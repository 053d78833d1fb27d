#include "InternetEngine.h"

const QString InternetEngine::ConnectedTitle =
    QStringLiteral("Vantorel / Internet Engine - Connected");
const QString InternetEngine::NotConnectedTitle =
    QStringLiteral("Vantorel / Internet Engine - Not Connected");

InternetEngine::InternetEngine(const Config& config, QObject* parent)
    : QObject(parent), m_config(config), m_pipeline(true, config.dataIn),
      m_connection(m_servers, config.logonAddress)
{
    m_pipeline.setSpillDirectory(config.spillDir);
    m_connection.setTiming(config.timing);
    if (!config.fixedServers.isEmpty())
        m_servers.setServers(config.fixedServers);
    else
        m_servers.load(config.serverListPath);
    connect(&m_connection, &EngineConnection::received, this,
            [this](const QByteArray& bytes) { m_pipeline.feed(bytes); });
    connect(&m_connection, &EngineConnection::connected, this, [this](const QString& server) {
        m_pipeline.restartStream();
        if (m_connections++ > 0)
            m_pipeline.countReconnect();
        emit logMessage(QStringLiteral("Connected to ") + server);
        emit connectionChanged(true, server);
    });
    // servers the user lists in the file while the engine waits are taken up
    connect(&m_connection, &EngineConnection::serversNeeded, this,
            [this] { m_servers.load(m_config.serverListPath); });
    connect(&m_connection, &EngineConnection::connecting, this,
            [this](const QString& server) { emit connectionChanged(false, server); });
    connect(&m_connection, &EngineConnection::disconnected, this,
            [this] { emit connectionChanged(false, m_connection.serverText()); });
    connect(&m_connection, &EngineConnection::logMessage, this, &InternetEngine::logMessage);
    connect(&m_pipeline, &IngestPipeline::logMessage, this, &InternetEngine::logMessage);
    connect(&m_pipeline, &IngestPipeline::serverListReceived, this,
            &InternetEngine::takeServerList);
}

void InternetEngine::start()
{
    if (m_servers.isEmpty())
        emit logMessage(QStringLiteral("No stream server known: start with --server HOST:PORT "
                                       "or list servers (HOST:PORT, one a line) in ") +
                        m_config.serverListPath);
    m_connection.start();
}

void InternetEngine::stop()
{
    m_connection.stop();
}

// A list sent by a server is kept on disk for the next start; it becomes the
// candidates at once only when the servers were not fixed for this run.
void InternetEngine::takeServerList(const QByteArray& frame)
{
    const QList<ServerList::Server> received = ServerList::parseFrame(frame);
    if (received.isEmpty())
        return;
    if (!m_config.fixedServers.isEmpty()) {
        ServerList saved;
        saved.load(m_config.serverListPath);
        if (saved.adopt(received) && !saved.save(m_config.serverListPath))
            emit logMessage(QStringLiteral("Cannot save the server list to ") +
                            m_config.serverListPath);
        return;
    }
    if (!m_servers.adopt(received))
        return;
    emit logMessage(QStringLiteral("Server list: %1 servers").arg(m_servers.servers().size()));
    if (!m_servers.save(m_config.serverListPath))
        emit logMessage(QStringLiteral("Cannot save the server list to ") +
                        m_config.serverListPath);
}
