#pragma once

#include "EngineConnection.h"
#include "IngestPipeline.h"
#include "ServerList.h"

#include <QObject>

// The Internet engine: the server connection feeding the ingest pipeline,
// and the server list, taken from what servers send and kept on disk unless
// the servers were fixed for this run.
class InternetEngine : public QObject
{
    Q_OBJECT
public:
    struct Config
    {
        QString dataIn;
        QString serverListPath;                 // saved server list (program directory)
        QList<ServerList::Server> fixedServers; // from the command line; empty: the saved list
        QString logonAddress;
        QString spillDir;
        EngineConnection::Timing timing;
    };

    explicit InternetEngine(const Config& config, QObject* parent = nullptr);

    void start();
    void stop();

    IngestPipeline& pipeline() { return m_pipeline; }
    const ServerList& servers() const { return m_servers; }
    bool isConnected() const { return m_connection.isConnected(); }
    QString serverText() const { return m_connection.serverText(); }

    static const QString ConnectedTitle;
    static const QString NotConnectedTitle;
    QString windowTitle() const { return isConnected() ? ConnectedTitle : NotConnectedTitle; }

signals:
    void connectionChanged(bool connected, const QString& server);
    void logMessage(const QString& text);

private:
    void takeServerList(const QByteArray& frame);

    Config m_config;
    ServerList m_servers;
    IngestPipeline m_pipeline;
    EngineConnection m_connection;
    int m_connections = 0;
};
