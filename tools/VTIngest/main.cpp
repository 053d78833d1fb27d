// VTIngest: the broadcast ingest engine of Vantorel (receiver on a serial port).
#include "EngineHost.h"
#include "IngestSettings.h"
#include "SerialIngest.h"
#include "VTIngestOptions.h"
#include "platform/SettingsStore.h"
#include "ui/VTIngestWindow.h"

#include <memory>

int main(int argc, char* argv[])
{
    const VTIngestOptions options = VTIngestOptions::parse(EngineHost::arguments(argc, argv));
    EngineHost host(QStringLiteral("VTIngest"),
                    EngineHost::CommandLine::of(options, VTIngestOptions::helpText()), argc, argv);
    if (const auto status = host.answerCommandLine())
        return *status;

    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        EngineHost::printLine(problem);
    const QString port =
        options.port.isEmpty() ? SerialIngest::portNameFor(settings.portNum) : options.port;
    SerialIngest ingest(port, options.baud > 0 ? options.baud : settings.baud,
                        options.dataIn.isEmpty() ? settings.transferPath : options.dataIn);
    ingest.setSpillDirectory(IngestSettings::programDirectory() +
                             QStringLiteral("track/unwritten/"));
    host.printMessagesFrom(&ingest, &SerialIngest::logMessage);
    host.printWritesFrom(&ingest.pipeline(), &IngestPipeline::fileWritten);
    host.setSummary([&ingest] { return EngineHost::summaryOf(ingest.pipeline().counters()); });
    std::unique_ptr<VTIngestWindow> window;
    if (!host.headless()) {
        window = std::make_unique<VTIngestWindow>(ingest);
        host.setWindow(window.get());
    }
    return host.run(ingest.pipeline().dataInDirectory(), [&] { ingest.start(); });
}
