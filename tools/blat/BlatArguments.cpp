#include "blat/BlatArguments.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {
const QString kHelpText =
    QStringLiteral("Sends a text file as a plain-text mail through an SMTP server.\n"
                   "\n"
                   "  blat -install server sender [tries [port]] [-u user -pw password]\n"
                   "      stores the server, sender, number of tries (3) and SMTP port (25)\n"
                   "      in the profile.\n"
                   "  blat bodyfile -s subject -t recipients [options]\n"
                   "      mails the file to the comma-separated recipients.\n"
                   "\n"
                   "Options (one or two dashes):\n"
                   "  -s, -subject TEXT   subject\n"
                   "  -t, -to LIST        recipients (comma-separated)\n"
                   "  -cc LIST            copies; -bcc LIST blind copies\n"
                   "  -f ADDRESS          sender instead of the profile's\n"
                   "  -server HOST        server instead of the profile's (smtps://HOST for TLS\n"
                   "                      from the start; otherwise STARTTLS when offered)\n"
                   "  -port N             SMTP port instead of the profile's\n"
                   "  -u USER -pw PASS    log in (only over TLS; better stored with -install,\n"
                   "                      as other users can see a command line)\n"
                   "  -try N              number of tries instead of the profile's\n"
                   "  -retrywait N        seconds between tries (5)\n"
                   "  -timeout N          seconds one try may take (120)\n"
                   "  -cacert FILE        trust the certificate(s) in FILE\n"
                   "  -log FILE           log file instead of blat-log.txt\n"
                   "  -debug              write the SMTP dialogue to the log\n"
                   "  -q                  no messages on standard error\n"
                   "  --config-dir DIR    where the profile and log are kept\n"
                   "\n"
                   "The profile and log live in --config-dir, else in the mailer's own\n"
                   "directory when blat-profile.ini is there, else in ~/.local/share/vantorel/.\n"
                   "Exit status: 0 sent, 1 not sent, 2 sent but some recipients were not\n"
                   "accepted, 3 sent but not confirmed by the server (not sent again).\n");

QCommandLineOption valueOption(const QStringList& names, const QString& valueName)
{
    return QCommandLineOption(names, QString(), valueName);
}

bool positiveNumber(const QString& text, int* value)
{
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok || number < 0)
        return false;
    *value = number;
    return true;
}
} // namespace

QString BlatArguments::helpText()
{
    return kHelpText;
}

BlatArguments BlatArguments::parse(const QStringList& arguments)
{
    BlatArguments result;
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(
        QStringList{QStringLiteral("help"), QStringLiteral("h"), QStringLiteral("?")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption install(QStringLiteral("install"));
    const QCommandLineOption subject = valueOption({"s", "subject"}, "subject");
    const QCommandLineOption to = valueOption({"t", "to"}, "recipients");
    const QCommandLineOption cc = valueOption({"cc"}, "recipients");
    const QCommandLineOption bcc = valueOption({"bcc"}, "recipients");
    const QCommandLineOption from = valueOption({"f"}, "sender");
    const QCommandLineOption server = valueOption({"server"}, "host");
    const QCommandLineOption port = valueOption({"port"}, "port");
    const QCommandLineOption user = valueOption({"u"}, "user");
    const QCommandLineOption password = valueOption({"pw"}, "password");
    const QCommandLineOption tries = valueOption({"try"}, "tries");
    const QCommandLineOption retryWait = valueOption({"retrywait"}, "seconds");
    const QCommandLineOption timeout = valueOption({"timeout"}, "seconds");
    const QCommandLineOption caCert = valueOption({"cacert"}, "file");
    const QCommandLineOption log = valueOption({"log"}, "file");
    const QCommandLineOption debug(QStringLiteral("debug"));
    const QCommandLineOption quiet(QStringLiteral("q"));
    const QCommandLineOption configDir = valueOption({"config-dir"}, "dir");
    parser.addOptions({help,    version, install, subject, to,       cc,       bcc,
                       from,    server,  port,    user,    password, tries,    retryWait,
                       timeout, caCert,  log,     debug,   quiet,    configDir});
    parser.addPositionalArgument(QStringLiteral("file"), QString());

    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        result.mode = Mode::Help;
        return result;
    }
    if (parser.isSet(version)) {
        result.mode = Mode::Version;
        return result;
    }
    result.configDir = parser.value(configDir);
    result.logFile = parser.value(log);
    result.subject = parser.values(subject).join(QLatin1Char(' '));
    result.to = parser.values(to).join(QLatin1Char(','));
    result.cc = parser.values(cc).join(QLatin1Char(','));
    result.bcc = parser.values(bcc).join(QLatin1Char(','));
    result.from = parser.value(from);
    result.server = parser.value(server);
    result.user = parser.value(user);
    result.password = parser.value(password);
    result.caCertFile = parser.value(caCert);
    result.debug = parser.isSet(debug);
    result.quiet = parser.isSet(quiet);

    const struct
    {
        const QCommandLineOption& option;
        int* target;
    } numbers[] = {{port, &result.port},
                   {tries, &result.tries},
                   {retryWait, &result.retryWaitSeconds},
                   {timeout, &result.timeoutSeconds}};
    for (const auto& number : numbers) {
        if (parser.isSet(number.option) &&
            !positiveNumber(parser.value(number.option), number.target)) {
            result.error = QStringLiteral("-%1 needs a number, not \"%2\"")
                               .arg(number.option.names().first(), parser.value(number.option));
            return result;
        }
    }

    if (parser.isSet(install)) {
        // "-install" is a form of its own: only as the first argument and
        // never mixed with the options of a send.
        const bool first = arguments.size() > 1 &&
                           arguments.at(1).endsWith(QLatin1String("install")) &&
                           arguments.at(1).startsWith(QLatin1Char('-'));
        if (!first || parser.isSet(subject) || parser.isSet(to) || parser.isSet(cc) ||
            parser.isSet(bcc)) {
            result.error = QStringLiteral("-install must come first and cannot be "
                                          "combined with a send");
            return result;
        }
        result.takeInstall(parser.positionalArguments());
        return result;
    }
    result.takeSend(parser.positionalArguments());
    return result;
}

void BlatArguments::takeInstall(const QStringList& positional)
{
    if (positional.size() < 2 || positional.size() > 4) {
        error = QStringLiteral("-install needs: server sender [tries [port]]");
        return;
    }
    server = positional.at(0).trimmed();
    sender = positional.at(1).trimmed();
    if (positional.size() > 2 && !positiveNumber(positional.at(2), &tries)) {
        error =
            QStringLiteral("-install: tries must be a number, not \"%1\"").arg(positional.at(2));
        return;
    }
    if (positional.size() > 3 && !positiveNumber(positional.at(3), &port)) {
        error = QStringLiteral("-install: port must be a number, not \"%1\"").arg(positional.at(3));
        return;
    }
    mode = Mode::Install;
}

void BlatArguments::takeSend(const QStringList& positional)
{
    if (positional.isEmpty()) {
        error = QStringLiteral("no body file given");
        return;
    }
    if (positional.size() > 1) {
        // A recipient list with a blank in it lands here: refuse rather than
        // guess which words were meant as addresses.
        error = QStringLiteral("unexpected argument \"%1\" (recipient lists are one "
                               "comma-separated argument)")
                    .arg(positional.at(1));
        return;
    }
    bodyFile = positional.first();
    if (bodyFile == QLatin1String("-")) {
        error = QStringLiteral("the body must be a file; standard input is not read");
        return;
    }
    mode = Mode::Send;
}
