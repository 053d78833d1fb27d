#pragma once

#include "EngineConnection.h"
#include "IngestPipeline.h"
#include "ServerList.h"

#include <QObject>

// The Internet engine: the server connection feeding the ingest pipeline,
// and the server list: the user's servers (their own file, written only when
// the user edits the list) and those that servers advertise (kept in a file
// of their own). Servers fixed for this run are the only candidates.
class InternetEngine : public QObject
{
    Q_OBJECT
public:
    struct Config
    {
        QString dataIn;
        QString serverListPath;                 // the user's server list (program directory)
        QString receivedListPath;               // servers advertised by servers
        QString recentRecordPath;               // files written lately (repeats)
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
    // The user's own list, from the server window: saved and used at once
    // (unless the servers were fixed for this run). False when it could not
    // be saved.
    bool setUserServers(const QList<ServerList::Server>& servers);
    bool serversFixed() const { return !m_config.fixedServers.isEmpty(); }
    QString logonAddress() const { return m_config.logonAddress; }
    QString serverListPath() const { return m_config.serverListPath; }
    static QString noServerMessage(const QString& listPath);
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
