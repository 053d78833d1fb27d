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
    if (!config.recentRecordPath.isEmpty())
        m_pipeline.setRecentRecord(config.recentRecordPath);
    if (!config.fixedServers.isEmpty()) {
        m_servers.setServers(config.fixedServers);
    } else {
        m_servers.load(config.serverListPath);
        m_servers.loadReceived(config.receivedListPath);
    }
    connect(&m_connection, &EngineConnection::received, this,
            [this](const QByteArray& bytes) { m_pipeline.feed(bytes); });
    connect(&m_pipeline, &IngestPipeline::packetsDecoded, &m_connection,
            &EngineConnection::packetsDecoded);
    connect(&m_connection, &EngineConnection::connected, this, [this](const QString& server) {
        m_pipeline.restartStream();
        if (m_connections++ > 0)
            m_pipeline.countReconnect();
        emit logMessage(QStringLiteral("Connected to ") + server);
        emit connectionChanged(true, server);
    });
    // servers the user lists in the file while the engine waits are taken up
    connect(&m_connection, &EngineConnection::serversNeeded, this, [this] {
        if (m_config.fixedServers.isEmpty())
            m_servers.load(m_config.serverListPath);
    });
    connect(&m_connection, &EngineConnection::connecting, this,
            [this](const QString& server) { emit connectionChanged(false, server); });
    connect(&m_connection, &EngineConnection::disconnected, this,
            [this] { emit connectionChanged(false, m_connection.serverText()); });
    connect(&m_connection, &EngineConnection::logMessage, this, &InternetEngine::logMessage);
    connect(&m_pipeline, &IngestPipeline::logMessage, this, &InternetEngine::logMessage);
    connect(&m_pipeline, &IngestPipeline::serverListReceived, this,
            &InternetEngine::takeServerList);
}

QString InternetEngine::noServerMessage(const QString& listPath)
{
    return QStringLiteral("No stream server known: add one with \"Servers...\" in the engine "
                          "window, start with --server HOST:PORT, or list servers (HOST:PORT, "
                          "one a line) in ") +
           listPath;
}

void InternetEngine::start()
{
    if (m_servers.isEmpty())
        emit logMessage(noServerMessage(m_config.serverListPath));
    m_connection.start();
}

void InternetEngine::stop()
{
    m_connection.stop();
    m_pipeline.finish();
}

bool InternetEngine::setUserServers(const QList<ServerList::Server>& servers)
{
    if (!ServerList::writeFile(m_config.serverListPath, servers)) {
        emit logMessage(QStringLiteral("Cannot save the server list to ") +
                        m_config.serverListPath);
        return false;
    }
    if (!m_config.fixedServers.isEmpty()) {
        emit logMessage(QStringLiteral("Server list saved; this run keeps the servers given "
                                       "with --server"));
        return true;
    }
    m_servers.setServers(servers);
    emit logMessage(QStringLiteral("Server list: %1 of your own, %2 advertised")
                        .arg(m_servers.userServers().size())
                        .arg(m_servers.servers().size() - m_servers.userServers().size()));
    m_connection.retrySoon();
    return true;
}

// A list sent by a server is merged into the advertised list and kept on
// disk for the next start; it adds candidates at once only when the servers
// were not fixed for this run.
void InternetEngine::takeServerList(const QByteArray& frame)
{
    const QList<ServerList::Server> received = ServerList::parseFrame(frame);
    if (received.isEmpty())
        return;
    ServerList kept;
    ServerList& list = m_config.fixedServers.isEmpty() ? m_servers : kept;
    if (&list == &kept)
        kept.loadReceived(m_config.receivedListPath);
    const QList<ServerList::Server> before = list.receivedServers();
    list.adopt(received);
    if (list.receivedServers() == before)
        return;
    if (&list == &m_servers)
        emit logMessage(QStringLiteral("Server list: %1 servers").arg(m_servers.servers().size()));
    if (!m_config.receivedListPath.isEmpty() && !list.saveReceived(m_config.receivedListPath))
        emit logMessage(QStringLiteral("Cannot save the server list to ") +
                        m_config.receivedListPath);
}
