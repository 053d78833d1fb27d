#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The candidate stream servers and the one in use: the user's own servers
// first, in the user's order, then those that servers advertised. Servers
// send their current list now and then; it is merged into the advertised
// list (capped in size, kept in a file of its own) and never removes or
// reorders the user's servers, so that after a round through the advertised
// ones the user's are tried first again.
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

    static constexpr int MaxReceived = 16;
    static constexpr int MaxUser = 64;

    // The user's servers; the candidates start again from the first.
    void setServers(const QList<Server>& servers);
    const QList<Server>& userServers() const { return m_user; }
    const QList<Server>& receivedServers() const { return m_received; }
    // Every candidate, in the order tried.
    const QList<Server>& servers() const { return m_servers; }
    bool isEmpty() const { return m_servers.isEmpty(); }
    // The server to try now; only valid when the list is not empty.
    Server current() const;
    // Moves to the next candidate; true when that starts a new pass.
    bool advance();
    // Merges a list sent by a server into the advertised list: its servers
    // first, in its order, then those advertised before, up to the cap. The
    // user's servers stay where they are. True when the candidates changed.
    bool adopt(const QList<Server>& received);

    // The user's list: one "host:port" per line; unreadable lines are skipped.
    bool load(const QString& path);
    bool save(const QString& path) const;
    // The advertised list, in a file of the same form.
    bool loadReceived(const QString& path);
    bool saveReceived(const QString& path) const;

    static QList<Server> readFile(const QString& path, int limit, bool* ok = nullptr);
    static bool writeFile(const QString& path, const QList<Server>& servers);

private:
    void rebuild();

    QList<Server> m_user;
    QList<Server> m_received;
    QList<Server> m_servers; // m_user, then m_received without the user's
    int m_index = 0;
};
