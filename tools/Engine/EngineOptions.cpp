#include "EngineOptions.h"

#include "EngineOptionParser.h"
#include "ServerList.h"

namespace {
EngineOptionParser parser()
{
    return EngineOptionParser(
        QStringLiteral("Engine"),
        QStringLiteral("Vantorel Internet ingest engine: receives the EMWIN stream from Internet "
                       "stream servers and writes every product into the Data-In directory."),
        {
            {QStringLiteral("server"),
             QStringLiteral("Stream server to use, HOST:PORT; repeat for more. Replaces the saved "
                            "server list for this run."),
             QStringLiteral("HOST:PORT")},
            {QStringLiteral("dead-seconds"),
             QStringLiteral("Seconds without data after which a connection counts as dead "
                            "(default 30)."),
             QStringLiteral("N")},
            {QStringLiteral("logon-seconds"),
             QStringLiteral("Seconds between repeated logons (default 180)."), QStringLiteral("N")},
        });
}

QString secondsMessage(const QString& name)
{
    return QStringLiteral("--%1 needs a number of seconds from 1 to 3600").arg(name);
}
} // namespace

EngineOptions EngineOptions::parse(const QStringList& arguments)
{
    EngineOptions o;
    EngineOptionParser p = parser();
    if (!p.parse(arguments, o))
        return o;
    for (const QString& server : p.parser().values(QStringLiteral("server"))) {
        if (!ServerList::parseServer(server)) {
            o.error = QStringLiteral("--server needs HOST:PORT, not \"%1\"").arg(server);
            return o;
        }
        o.servers << server;
    }
    const QString dead = QStringLiteral("dead-seconds");
    const QString logon = QStringLiteral("logon-seconds");
    if (p.readNumber(dead, 1, 3600, &o.deadSeconds, secondsMessage(dead), o))
        p.readNumber(logon, 1, 3600, &o.logonSeconds, secondsMessage(logon), o);
    return o;
}

QString EngineOptions::helpText()
{
    return parser().helpText();
}
