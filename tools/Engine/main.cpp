// Engine: the Internet ingest engine of Vantorel.
#include "EngineHost.h"
#include "EngineOptions.h"
#include "IngestSettings.h"
#include "InternetEngine.h"
#include "platform/SettingsStore.h"
#include "ui/EngineWindow.h"

#include <QDir>
#include <QTimer>
#include <memory>

namespace {
InternetEngine::Config configFrom(const EngineOptions& options)
{
    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        EngineHost::printLine(problem);
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
    const EngineOptions options = EngineOptions::parse(EngineHost::arguments(argc, argv));
    EngineHost host(QStringLiteral("Engine"),
                    EngineHost::CommandLine::of(options, EngineOptions::helpText()), argc, argv);
    if (const auto status = host.answerCommandLine())
        return *status;

    const InternetEngine::Config config = configFrom(options);
    // two engines would write every product twice, and the program could
    // stop only one of them
    if (!host.lock(config.dataIn, QStringLiteral("Vantorel / Internet Engine")))
        return 1;
    InternetEngine engine(config);
    host.printMessagesFrom(&engine, &InternetEngine::logMessage);
    host.printWritesFrom(&engine.pipeline(), &IngestPipeline::fileWritten);
    host.setSummary([&engine] { return EngineHost::summaryOf(engine.pipeline().counters()); });
    std::unique_ptr<EngineWindow> window;
    if (!host.headless()) {
        window = std::make_unique<EngineWindow>(engine);
        host.setWindow(window.get());
    }
    const auto start = [&] {
        engine.start();
        if (window && engine.servers().isEmpty())
            QTimer::singleShot(0, window.get(), [w = window.get()] { w->openServerList(); });
    };
    return host.run(engine.pipeline().dataInDirectory(), start, [&] { engine.stop(); });
}
