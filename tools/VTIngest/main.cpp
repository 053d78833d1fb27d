// VTIngest: the broadcast ingest engine of Vantorel (receiver on a serial port).
#include "EngineCommandServer.h"
#include "IngestSettings.h"
#include "SerialIngest.h"
#include "TerminationSignals.h"
#include "VTIngestOptions.h"
#include "platform/SettingsStore.h"
#include "ui/VTIngestWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QTextStream>
#include <memory>

namespace {
void printLine(const QString& text)
{
    QTextStream out(stdout);
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ' ' << text << Qt::endl;
}
} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const VTIngestOptions options = VTIngestOptions::parse(arguments);
    std::unique_ptr<QCoreApplication> app;
    if (options.headless || options.showHelp || options.showVersion || !options.error.isEmpty())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "VTIngest: " << options.error << "\n" << VTIngestOptions::helpText();
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        QTextStream(stdout) << (options.showHelp
                                    ? VTIngestOptions::helpText()
                                    : QStringLiteral("VTIngest " VANTOREL_VERSION "\n"));
        return 0;
    }

    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        printLine(problem);
    const QString port =
        options.port.isEmpty() ? SerialIngest::portNameFor(settings.portNum) : options.port;
    SerialIngest ingest(port, options.baud > 0 ? options.baud : settings.baud,
                        options.dataIn.isEmpty() ? settings.transferPath : options.dataIn);
    ingest.setSpillDirectory(IngestSettings::programDirectory() +
                             QStringLiteral("track/unwritten/"));
    EngineCommandServer commands(QStringLiteral("VTIngest"));
    QObject::connect(&commands, &EngineCommandServer::shutdownRequested, app.get(),
                     &QCoreApplication::quit);
    std::unique_ptr<VTIngestWindow> window;
    if (options.headless) {
        QObject::connect(&ingest, &SerialIngest::logMessage, &printLine);
        QObject::connect(&commands, &EngineCommandServer::logMessage, &printLine);
        QObject::connect(&ingest.pipeline(), &IngestPipeline::fileWritten,
                         [](const QString& path) { printLine(QStringLiteral("Wrote ") + path); });
        QObject::connect(&commands, &EngineCommandServer::hideRequested,
                         [] { printLine(QStringLiteral("HIDE: no window to hide")); });
        QObject::connect(&commands, &EngineCommandServer::showRequested,
                         [] { printLine(QStringLiteral("SHOW: no window to show")); });
    } else {
        window = std::make_unique<VTIngestWindow>(ingest);
        QObject::connect(&commands, &EngineCommandServer::logMessage, window.get(),
                         &IngestWindow::addLog);
        QObject::connect(&commands, &EngineCommandServer::hideRequested, window.get(),
                         &IngestWindow::hideWindow);
        QObject::connect(&commands, &EngineCommandServer::showRequested, window.get(),
                         &IngestWindow::showWindow);
        window->show();
    }
    // a service manager's stop (SIGTERM) ends the engine as SHUTDOWN does
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, app.get(),
                     [](int number) {
                         printLine(QStringLiteral("Signal %1: stopping").arg(number));
                         QCoreApplication::quit();
                     });
    QString error;
    if (!commands.listen(&error))
        emit ingest.logMessage(QStringLiteral("Commands from Vantorel will not arrive: ") + error);
    printLine(QStringLiteral("Writing products into ") + ingest.pipeline().dataInDirectory());
    ingest.start();
    const int result = app->exec();
    printLine(QStringLiteral("VTIngest stopped"));
    return result;
}
