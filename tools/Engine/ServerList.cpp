#include "ServerList.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

namespace {
const QByteArray kListStart("/ServerList/");
const QByteArray kListEnd("\\ServerList\\");
} // namespace

std::optional<ServerList::Server> ServerList::parseServer(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        "^([A-Za-z0-9](?:[A-Za-z0-9-]{0,62})(?:\\.[A-Za-z0-9-]{1,63})*):([0-9]{1,5})$"));
    const auto m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int port = m.captured(2).toInt();
    if (port < 1 || port > 65535 || m.captured(1).size() > 253)
        return std::nullopt;
    return Server{m.captured(1), static_cast<quint16>(port)};
}

QList<ServerList::Server> ServerList::parseFrame(const QByteArray& frame)
{
    const qsizetype start = frame.indexOf(kListStart);
    if (start < 0)
        return {};
    const qsizetype from = start + kListStart.size();
    qsizetype end = frame.indexOf(kListEnd, from);
    if (end < 0)
        end = frame.size();
    QList<Server> servers;
    for (const QByteArray& part : frame.mid(from, end - from).split('|')) {
        const auto server = parseServer(QString::fromLatin1(part));
        if (server && !servers.contains(*server))
            servers << *server;
    }
    return servers;
}

void ServerList::setServers(const QList<Server>& servers)
{
    m_user.clear();
    for (const Server& s : servers) {
        if (!m_user.contains(s) && m_user.size() < MaxUser)
            m_user << s;
    }
    rebuild();
    m_index = 0;
}

void ServerList::rebuild()
{
    const Server inUse = current();
    m_servers = m_user;
    for (const Server& s : std::as_const(m_received)) {
        if (!m_servers.contains(s))
            m_servers << s;
    }
    const qsizetype at = m_servers.indexOf(inUse);
    if (at >= 0)
        m_index = static_cast<int>(at);
    else if (m_index >= m_servers.size())
        m_index = 0;
}

ServerList::Server ServerList::current() const
{
    return m_servers.value(m_index);
}

bool ServerList::advance()
{
    if (m_servers.isEmpty())
        return true;
    m_index = (m_index + 1) % m_servers.size();
    return m_index == 0;
}

bool ServerList::adopt(const QList<Server>& received)
{
    QList<Server> merged;
    for (const Server& s : received + m_received) {
        if (!merged.contains(s) && merged.size() < MaxReceived)
            merged << s;
    }
    if (received.isEmpty() || merged == m_received)
        return false;
    const QList<Server> before = m_servers;
    m_received = merged;
    rebuild();
    return m_servers != before;
}

QList<ServerList::Server> ServerList::readFile(const QString& path, int limit, bool* ok)
{
    QList<Server> servers;
    QFile file(path);
    if (ok)
        *ok = file.open(QIODevice::ReadOnly | QIODevice::Text);
    else
        file.open(QIODevice::ReadOnly | QIODevice::Text);
    for (int lines = 0; file.isOpen() && !file.atEnd() && lines < 10 * limit; ++lines) {
        const auto server = parseServer(QString::fromLatin1(file.readLine(512)));
        if (server && !servers.contains(*server) && servers.size() < limit)
            servers << *server;
    }
    return servers;
}

bool ServerList::writeFile(const QString& path, const QList<Server>& servers)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Server& s : servers)
        file.write(s.text().toLatin1() + '\n');
    return file.commit();
}

bool ServerList::load(const QString& path)
{
    bool ok = false;
    const QList<Server> servers = readFile(path, MaxUser, &ok);
    if (ok)
        setServers(servers);
    return ok;
}

bool ServerList::save(const QString& path) const
{
    return writeFile(path, m_user);
}

bool ServerList::loadReceived(const QString& path)
{
    bool ok = false;
    const QList<Server> servers = readFile(path, MaxReceived, &ok);
    if (ok) {
        m_received = servers;
        rebuild();
    }
    return ok;
}

bool ServerList::saveReceived(const QString& path) const
{
    return writeFile(path, m_received);
}
