#include "EngineOptions.h"

#include "ServerList.h"

#include <QCommandLineParser>

namespace {
QList<QCommandLineOption> options()
{
    return {
        {QStringLiteral("server"),
         QStringLiteral("Stream server to use, HOST:PORT; repeat for more. Replaces the saved "
                        "server list for this run."),
         QStringLiteral("HOST:PORT")},
        {QStringLiteral("data-in"),
         QStringLiteral("Directory to write products into, instead of the Data-In directory of "
                        "the settings."),
         QStringLiteral("DIR")},
        {QStringLiteral("headless"), QStringLiteral("No window; log to standard output.")},
        {QStringLiteral("dead-seconds"),
         QStringLiteral("Seconds without data after which a connection counts as dead "
                        "(default 30)."),
         QStringLiteral("N")},
        {QStringLiteral("logon-seconds"),
         QStringLiteral("Seconds between repeated logons (default 180)."), QStringLiteral("N")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    };
}

bool readSeconds(const QCommandLineParser& parser, const QString& name, int* value, QString* error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int n = parser.value(name).toInt(&ok);
    if (!ok || n < 1 || n > 3600) {
        *error = QStringLiteral("--%1 needs a number of seconds from 1 to 3600").arg(name);
        return false;
    }
    *value = n;
    return true;
}
} // namespace

EngineOptions EngineOptions::parse(const QStringList& arguments)
{
    EngineOptions o;
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(arguments)) {
        o.error = parser.errorText();
        return o;
    }
    o.showHelp = parser.isSet(QStringLiteral("help"));
    o.showVersion = parser.isSet(QStringLiteral("version"));
    o.headless = parser.isSet(QStringLiteral("headless"));
    o.dataIn = parser.value(QStringLiteral("data-in"));
    for (const QString& server : parser.values(QStringLiteral("server"))) {
        if (!ServerList::parseServer(server)) {
            o.error = QStringLiteral("--server needs HOST:PORT, not \"%1\"").arg(server);
            return o;
        }
        o.servers << server;
    }
    if (!parser.positionalArguments().isEmpty()) {
        o.error = QStringLiteral("unexpected argument \"%1\"")
                      .arg(parser.positionalArguments().constFirst());
        return o;
    }
    if (readSeconds(parser, QStringLiteral("dead-seconds"), &o.deadSeconds, &o.error))
        readSeconds(parser, QStringLiteral("logon-seconds"), &o.logonSeconds, &o.error);
    return o;
}

QString EngineOptions::helpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantorel Internet ingest engine: receives the EMWIN stream from Internet "
                       "stream servers and writes every product into the Data-In directory."));
    parser.addOptions(options());
    return QStringLiteral("Usage: Engine [options]\n") +
           parser.helpText().section(QLatin1Char('\n'), 1);
}
