#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The candidate stream servers, best first, and the one in use. Servers send
// their current list now and then; it is kept on disk for the next start.
class ServerList
{
public:
    struct Server
    {
        QString host;
        quint16 port = 0;
        QString text() const { return host + QLatin1Char(':') + QString::number(port); }
        bool operator==(const Server& other) const = default;
    };

    // "host:port": a host name or IPv4 address and a port 1..65535.
    static std::optional<Server> parseServer(const QString& text);
    // The servers of a "/ServerList/a|b|...\ServerList\..." frame; malformed
    // entries and repeats are left out.
    static QList<Server> parseFrame(const QByteArray& frame);

    void setServers(const QList<Server>& servers);
    const QList<Server>& servers() const { return m_servers; }
    bool isEmpty() const { return m_servers.isEmpty(); }
    // The server to try now; only valid when the list is not empty.
    Server current() const;
    // Moves to the next candidate; true when that starts a new pass.
    bool advance();
    // Takes a list sent by a server. A list that shrank to one server does
    // not replace a longer one: that server is added instead. True when the
    // candidates changed.
    bool adopt(const QList<Server>& received);

    // One "host:port" per line; unreadable lines are skipped.
    bool load(const QString& path);
    bool save(const QString& path) const;

private:
    QList<Server> m_servers;
    int m_index = 0;
};
