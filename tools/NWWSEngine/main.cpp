// NWWSEngine: the Weather Wire engine of Vantorel (NWS text products over XMPP).
#include "EngineHost.h"
#include "IngestSettings.h"
#include "NwwsEngine.h"
#include "NwwsOptions.h"
#include "core/NwwsSettings.h"
#include "platform/SettingsStore.h"
#include "ui/NwwsEngineWindow.h"

#include <QDir>
#include <QFile>
#include <memory>

namespace {
const QString kTitle = QStringLiteral("Vantorel / NWWS Engine");

// The session from the settings, the command line overriding; empty
// password with the reason when it cannot be had.
XmppSession::Config sessionConfig(const NwwsOptions& options, QString* error)
{
    NwwsSettings s = NwwsSettings::read(SettingsStore());
    if (!options.user.isEmpty())
        s.user = options.user;
    if (!options.server.isEmpty())
        s.server = options.server;
    if (!options.caCert.isEmpty())
        s.caCert = options.caCert;
    XmppSession::Config c;
    c.user = s.user;
    c.host = s.host();
    c.port = s.port();
    c.resource = s.resource;
    c.caCert = s.caCert;
    c.room = s.room();
    c.pingIntervalMs = options.pingSeconds * 1000;
    c.pingTimeoutMs = std::max(5000, c.pingIntervalMs / 2);
    if (c.user.isEmpty()) {
        *error = QStringLiteral("no NWWS user name: enter it in Configuration");
        return c;
    }
    c.password = NwwsSettings::readPassword(IngestSettings::programDirectory(), error);
    return c;
}

OfficeStates officeStates()
{
    QString error;
    const QString own = IngestSettings::programDirectory() + QStringLiteral("facility-list.txt");
    if (QFile::exists(own)) {
        OfficeStates table = OfficeStates::load(own, &error);
        if (!table.isEmpty())
            return table;
        EngineHost::printLine(error + QStringLiteral("; using the built-in table"));
    }
    return OfficeStates::load(QStringLiteral(":/nwws/facility-list.txt"), &error);
}

// --test: one login and join, said on standard output; 0 when it worked.
int runTest(XmppSession::Config config)
{
    config.once = true;
    XmppSession session(config);
    bool joined = false;
    QObject::connect(&session, &XmppSession::stateChanged,
                     [&joined](XmppSession::State state, const QString& text) {
                         if (state == XmppSession::State::Joined)
                             joined = true;
                         if (!text.isEmpty())
                             EngineHost::printLine(text);
                     });
    QObject::connect(&session, &XmppSession::logMessage, &EngineHost::printLine);
    session.run();
    EngineHost::printLine(joined ? QStringLiteral("NWWS test passed: logged in and joined the room")
                                 : QStringLiteral("NWWS test failed"));
    return joined ? 0 : 1;
}
NwwsEngine::Config engineConfig(const NwwsOptions& options, const XmppSession::Config& session)
{
    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        EngineHost::printLine(problem);
    const QString programDir = IngestSettings::programDirectory();
    NwwsEngine::Config config;
    config.xmpp = session;
    config.dataIn = options.dataIn.isEmpty() ? settings.transferPath : options.dataIn;
    config.spillDir = programDir + QStringLiteral("track/unwritten/");
    config.passwordDir = programDir;
    config.stampPath = programDir + QStringLiteral("track/nwws-feed.stamp");
    QDir().mkpath(programDir + QStringLiteral("track"));
    return config;
}

QString summary(const NwwsEngine::Counters& c)
{
    return QStringLiteral("%1 received, %2 written, %3 kept aside, %4 lost, %5 reconnects")
        .arg(c.received)
        .arg(c.written)
        .arg(c.spilled)
        .arg(c.lost)
        .arg(c.reconnects);
}
} // namespace

int main(int argc, char* argv[])
{
    NwwsOptions options = NwwsOptions::parse(EngineHost::arguments(argc, argv));
    // the configuration's test has no window
    options.headless = options.headless || options.test;
    EngineHost host(QStringLiteral("NWWSEngine"),
                    EngineHost::CommandLine::of(options, NwwsOptions::helpText()), argc, argv);
    if (const auto status = host.answerCommandLine())
        return *status;

    QString error;
    const XmppSession::Config session = sessionConfig(options, &error);
    if (session.password.isEmpty()) {
        host.refuse(QStringLiteral("NWWS engine not started: ") + error + QLatin1Char('.'), kTitle);
        return 1;
    }
    if (options.test)
        return runTest(session);

    const NwwsEngine::Config config = engineConfig(options, session);
    // two engines would write every product twice
    if (!host.lock(config.dataIn, kTitle))
        return 1;
    NwwsEngine engine(config, officeStates());
    host.printMessagesFrom(&engine, &NwwsEngine::logMessage);
    host.printWritesFrom(&engine, &NwwsEngine::fileWritten);
    host.setSummary([&engine] { return summary(engine.counters()); });
    std::unique_ptr<NwwsEngineWindow> window;
    if (!host.headless()) {
        window = std::make_unique<NwwsEngineWindow>(engine);
        host.setWindow(window.get());
    }
    return host.run(
        engine.dataInDirectory(), [&] { engine.start(); }, [&] { engine.stop(); });
}
