#include "VTIngestOptions.h"

#include "EngineOptionParser.h"

namespace {
EngineOptionParser parser()
{
    return EngineOptionParser(
        QStringLiteral("VTIngest"),
        QStringLiteral("Vantorel broadcast ingest engine: receives EMWIN from a receiver on a "
                       "serial port and writes every product into the Data-In directory."),
        {
            {QStringLiteral("port"),
             QStringLiteral("Serial device of the receiver (e.g. /dev/ttyUSB0), instead of the "
                            "port of the settings."),
             QStringLiteral("DEVICE")},
            {QStringLiteral("baud"), QStringLiteral("Speed of the port, instead of the settings'."),
             QStringLiteral("N")},
        });
}
} // namespace

VTIngestOptions VTIngestOptions::parse(const QStringList& arguments)
{
    VTIngestOptions o;
    EngineOptionParser p = parser();
    if (!p.parse(arguments, o))
        return o;
    o.port = p.parser().value(QStringLiteral("port"));
    p.readNumber(QStringLiteral("baud"), 50, 4000000, &o.baud,
                 QStringLiteral("--baud needs a speed such as 9600"), o);
    return o;
}

QString VTIngestOptions::helpText()
{
    return parser().helpText();
}
