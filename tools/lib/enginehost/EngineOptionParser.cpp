#include "EngineOptionParser.h"

EngineOptionParser::EngineOptionParser(const QString& program, const QString& description,
                                       const QList<QCommandLineOption>& own)
    : m_program(program)
{
    m_parser.setApplicationDescription(description);
    m_parser.addOptions(own);
    m_parser.addOptions({
        {QStringLiteral("data-in"),
         QStringLiteral("Directory to write products into, instead of the Data-In directory of "
                        "the settings."),
         QStringLiteral("DIR")},
        {QStringLiteral("headless"), QStringLiteral("No window; log to standard output.")},
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version.")},
    });
}

bool EngineOptionParser::parse(const QStringList& arguments, CommonEngineOptions& options)
{
    if (!m_parser.parse(arguments)) {
        options.error = m_parser.errorText();
        return false;
    }
    options.showHelp = m_parser.isSet(QStringLiteral("help"));
    options.showVersion = m_parser.isSet(QStringLiteral("version"));
    options.headless = m_parser.isSet(QStringLiteral("headless"));
    options.dataIn = m_parser.value(QStringLiteral("data-in"));
    if (!m_parser.positionalArguments().isEmpty()) {
        options.error = QStringLiteral("unexpected argument \"%1\"")
                            .arg(m_parser.positionalArguments().constFirst());
        return false;
    }
    return true;
}

bool EngineOptionParser::readNumber(const QString& name, int min, int max, int* value,
                                    const QString& message, CommonEngineOptions& options) const
{
    if (!m_parser.isSet(name))
        return true;
    bool ok = false;
    const int n = m_parser.value(name).toInt(&ok);
    if (!ok || n < min || n > max) {
        options.error = message;
        return false;
    }
    *value = n;
    return true;
}

QString EngineOptionParser::helpText() const
{
    // QCommandLineParser's first line names the test or program binary
    // that runs it; the engine's name is said instead
    return QStringLiteral("Usage: %1 [options]\n").arg(m_program) +
           m_parser.helpText().section(QLatin1Char('\n'), 1);
}
