#include "VTIngestOptions.h"

#include <QCommandLineParser>

namespace {
QList<QCommandLineOption> options()
{
    return {
        {QStringLiteral("port"),
         QStringLiteral("Serial device of the receiver (e.g. /dev/ttyUSB0), instead of the port "
                        "of the settings."),
         QStringLiteral("DEVICE")},
        {QStringLiteral("baud"), QStringLiteral("Speed of the port, instead of the settings'."),
         QStringLiteral("N")},
        {QStringLiteral("data-in"),
         QStringLiteral("Directory to write products into, instead of the Data-In directory of "
                        "the settings."),
         QStringLiteral("DIR")},
        {QStringLiteral("headless"), QStringLiteral("No window; log to standard output.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    };
}
} // namespace

VTIngestOptions VTIngestOptions::parse(const QStringList& arguments)
{
    VTIngestOptions o;
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(arguments)) {
        o.error = parser.errorText();
        return o;
    }
    o.showHelp = parser.isSet(QStringLiteral("help"));
    o.showVersion = parser.isSet(QStringLiteral("version"));
    o.headless = parser.isSet(QStringLiteral("headless"));
    o.port = parser.value(QStringLiteral("port"));
    o.dataIn = parser.value(QStringLiteral("data-in"));
    if (parser.isSet(QStringLiteral("baud"))) {
        bool ok = false;
        o.baud = parser.value(QStringLiteral("baud")).toInt(&ok);
        if (!ok || o.baud < 50 || o.baud > 4000000)
            o.error = QStringLiteral("--baud needs a speed such as 9600");
    }
    if (o.error.isEmpty() && !parser.positionalArguments().isEmpty())
        o.error = QStringLiteral("unexpected argument \"%1\"")
                      .arg(parser.positionalArguments().constFirst());
    return o;
}

QString VTIngestOptions::helpText()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantorel broadcast ingest engine: receives EMWIN from a receiver on a "
                       "serial port and writes every product into the Data-In directory."));
    parser.addOptions(options());
    return QStringLiteral("Usage: VTIngest [options]\n") +
           parser.helpText().section(QLatin1Char('\n'), 1);
}
