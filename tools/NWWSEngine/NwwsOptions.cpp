#include "NwwsOptions.h"

#include <QCommandLineParser>

namespace {
QList<QCommandLineOption> options()
{
    return {
        {QStringLiteral("data-in"),
         QStringLiteral("Directory to write products into, instead of the Data-In directory of "
                        "the settings."),
         QStringLiteral("DIR")},
        {QStringLiteral("user"), QStringLiteral("User name, instead of the settings'."),
         QStringLiteral("NAME")},
        {QStringLiteral("server"), QStringLiteral("Server as host:port, instead of the settings'."),
         QStringLiteral("HOST:PORT")},
        {QStringLiteral("ca-cert"),
         QStringLiteral("Certificate file to trust besides the system's, instead of the "
                        "settings'."),
         QStringLiteral("FILE")},
        {QStringLiteral("ping-seconds"),
         QStringLiteral("Seconds of silence before the server is pinged (default 60)."),
         QStringLiteral("N")},
        {QStringLiteral("test"),
         QStringLiteral("Log in and join the room once, say what happened and end.")},
        {QStringLiteral("headless"), QStringLiteral("No window; log to standard output.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    };
}
} // namespace

NwwsOptions NwwsOptions::parse(const QStringList& arguments)
{
    NwwsOptions o;
    for (const QString& argument : arguments)
        if (argument.startsWith(QLatin1String("--pass")) ||
            argument.startsWith(QLatin1String("-p"))) {
            o.error = QStringLiteral("the password is not taken on the command line (others can "
                                     "read it there); it is read from nwws-password.txt in the "
                                     "program directory");
            return o;
        }
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(arguments)) {
        o.error = parser.errorText();
        return o;
    }
    o.showHelp = parser.isSet(QStringLiteral("help"));
    o.showVersion = parser.isSet(QStringLiteral("version"));
    o.headless = parser.isSet(QStringLiteral("headless"));
    o.test = parser.isSet(QStringLiteral("test"));
    o.dataIn = parser.value(QStringLiteral("data-in"));
    o.user = parser.value(QStringLiteral("user"));
    o.server = parser.value(QStringLiteral("server"));
    o.caCert = parser.value(QStringLiteral("ca-cert"));
    if (parser.isSet(QStringLiteral("ping-seconds"))) {
        bool ok = false;
        o.pingSeconds = parser.value(QStringLiteral("ping-seconds")).toInt(&ok);
        if (!ok || o.pingSeconds < 1 || o.pingSeconds > 3600)
            o.error = QStringLiteral("--ping-seconds needs 1 to 3600");
    }
    if (o.error.isEmpty() && !parser.positionalArguments().isEmpty())
        o.error = QStringLiteral("unexpected argument \"%1\"")
                      .arg(parser.positionalArguments().constFirst());
    return o;
}

QString NwwsOptions::helpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantorel Weather Wire engine: receives the NWS text products over XMPP "
                       "and writes every product into the Data-In directory."));
    parser.addOptions(options());
    return QStringLiteral("Usage: NWWSEngine [options]\n") +
           parser.helpText().section(QLatin1Char('\n'), 1);
}
