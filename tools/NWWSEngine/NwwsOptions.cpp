#include "NwwsOptions.h"

#include "EngineOptionParser.h"

namespace {
EngineOptionParser parser()
{
    return EngineOptionParser(
        QStringLiteral("NWWSEngine"),
        QStringLiteral("Vantorel Weather Wire engine: receives the NWS text products over XMPP "
                       "and writes every product into the Data-In directory."),
        {
            {QStringLiteral("user"), QStringLiteral("User name, instead of the settings'."),
             QStringLiteral("NAME")},
            {QStringLiteral("server"),
             QStringLiteral("Server as host:port, instead of the settings'."),
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
        });
}

bool offersPassword(const QStringList& arguments)
{
    for (const QString& argument : arguments)
        if (argument.startsWith(QLatin1String("--pass")) ||
            argument.startsWith(QLatin1String("-p")))
            return true;
    return false;
}
} // namespace

NwwsOptions NwwsOptions::parse(const QStringList& arguments)
{
    NwwsOptions o;
    if (offersPassword(arguments)) {
        o.error = QStringLiteral("the password is not taken on the command line (others can "
                                 "read it there); it is read from nwws-password.txt in the "
                                 "program directory");
        return o;
    }
    EngineOptionParser p = parser();
    if (!p.parse(arguments, o))
        return o;
    o.test = p.parser().isSet(QStringLiteral("test"));
    o.user = p.parser().value(QStringLiteral("user"));
    o.server = p.parser().value(QStringLiteral("server"));
    o.caCert = p.parser().value(QStringLiteral("ca-cert"));
    p.readNumber(QStringLiteral("ping-seconds"), 1, 3600, &o.pingSeconds,
                 QStringLiteral("--ping-seconds needs 1 to 3600"), o);
    return o;
}

QString NwwsOptions::helpText()
{
    return parser().helpText();
}
