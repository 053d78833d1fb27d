// Engine: the Internet ingest engine of Vantorel.
#include "EngineCommandServer.h"
#include "EngineLock.h"
#include "EngineOptions.h"
#include "IngestSettings.h"
#include "InternetEngine.h"
#include "TerminationSignals.h"
#include "platform/SettingsStore.h"
#include "ui/EngineWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QMessageBox>
#include <QTextStream>
#include <QTimer>
#include <memory>

namespace {
void printLine(const QString& text)
{
    QTextStream out(stdout);
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ' ' << text << Qt::endl;
}

InternetEngine::Config configFrom(const EngineOptions& options)
{
    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        printLine(problem);
    InternetEngine::Config c;
    c.dataIn = options.dataIn.isEmpty() ? settings.transferPath : options.dataIn;
    const QString programDir = IngestSettings::programDirectory();
    QDir().mkpath(programDir);
    c.serverListPath = programDir + QStringLiteral("engine-servers.txt");
    c.receivedListPath = programDir + QStringLiteral("engine-servers-received.txt");
    c.recentRecordPath = programDir + QStringLiteral("engine-recent.txt");
    c.spillDir = programDir + QStringLiteral("track/unwritten/");
    for (const QString& server : options.servers)
        c.fixedServers << *ServerList::parseServer(server);
    c.logonAddress = settings.email;
    c.timing.deadMs = options.deadSeconds * 1000;
    c.timing.logonMs = options.logonSeconds * 1000;
    return c;
}
} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const EngineOptions options = EngineOptions::parse(arguments);
    std::unique_ptr<QCoreApplication> app;
    if (options.headless || options.showHelp || options.showVersion || !options.error.isEmpty())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    QTextStream out(stdout);
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << "Engine: " << options.error << "\n" << EngineOptions::helpText();
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        out << (options.showHelp ? EngineOptions::helpText()
                                 : QStringLiteral("Engine " VANTOREL_VERSION "\n"));
        return 0;
    }

    const InternetEngine::Config config = configFrom(options);
    // two engines would write every product twice, and the program could
    // stop only one of them
    EngineLock lock(QStringLiteral("Engine"), config.dataIn);
    QString why;
    if (!lock.tryLock(&why)) {
        const QString text = QStringLiteral("Engine not started: ") + why + QLatin1Char('.');
        QTextStream(stderr) << text << Qt::endl;
        if (!options.headless)
            QMessageBox::information(nullptr, QStringLiteral("Vantorel / Internet Engine"), text);
        return 1;
    }
    InternetEngine engine(config);
    EngineCommandServer commands(QStringLiteral("Engine"));
    QObject::connect(&commands, &EngineCommandServer::shutdownRequested, app.get(),
                     &QCoreApplication::quit);
    std::unique_ptr<EngineWindow> window;
    if (options.headless) {
        QObject::connect(&engine, &InternetEngine::logMessage, &printLine);
        QObject::connect(&commands, &EngineCommandServer::logMessage, &printLine);
        QObject::connect(&engine.pipeline(), &IngestPipeline::fileWritten,
                         [](const QString& path) { printLine(QStringLiteral("Wrote ") + path); });
        QObject::connect(&commands, &EngineCommandServer::hideRequested,
                         [] { printLine(QStringLiteral("HIDE: no window to hide")); });
        QObject::connect(&commands, &EngineCommandServer::showRequested,
                         [] { printLine(QStringLiteral("SHOW: no window to show")); });
    } else {
        window = std::make_unique<EngineWindow>(engine);
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
        emit engine.logMessage(QStringLiteral("Commands from Vantorel will not arrive: ") + error);
    printLine(QStringLiteral("Writing products into ") + engine.pipeline().dataInDirectory());
    engine.start();
    if (window && engine.servers().isEmpty())
        QTimer::singleShot(0, window.get(), [w = window.get()] { w->openServerList(); });
    const int result = app->exec();
    engine.stop();
    printLine(QStringLiteral("Engine stopped"));
    return result;
}
