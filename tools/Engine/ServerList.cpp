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
    m_servers = servers;
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
    if (received.isEmpty())
        return false;
    if (received.size() == 1 && m_servers.size() > 1) {
        if (m_servers.contains(received.first()))
            return false;
        m_servers << received.first();
        return true;
    }
    if (received == m_servers)
        return false;
    const Server inUse = current();
    m_servers = received;
    m_index = std::max<int>(0, static_cast<int>(m_servers.indexOf(inUse)));
    return true;
}

bool ServerList::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QList<Server> servers;
    while (!file.atEnd()) {
        const auto server = parseServer(QString::fromLatin1(file.readLine(512)));
        if (server && !servers.contains(*server))
            servers << *server;
    }
    setServers(servers);
    return true;
}

bool ServerList::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Server& s : m_servers)
        file.write(s.text().toLatin1() + '\n');
    return file.commit();
}
