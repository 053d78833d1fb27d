// NWWSEngine: the Weather Wire engine of Vantorel (NWS text products over XMPP).
#include "EngineCommandServer.h"
#include "EngineLock.h"
#include "IngestSettings.h"
#include "NwwsEngine.h"
#include "NwwsOptions.h"
#include "TerminationSignals.h"
#include "core/NwwsSettings.h"
#include "platform/SettingsStore.h"
#include "ui/NwwsEngineWindow.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTextStream>
#include <memory>

namespace {
const QString kName = QStringLiteral("NWWSEngine");

void printLine(const QString& text)
{
    QTextStream out(stdout);
    out << QDateTime::currentDateTime().toString(Qt::ISODate) << ' ' << text << Qt::endl;
}

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
        printLine(error + QStringLiteral("; using the built-in table"));
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
                             printLine(text);
                     });
    QObject::connect(&session, &XmppSession::logMessage, &printLine);
    session.run();
    printLine(joined ? QStringLiteral("NWWS test passed: logged in and joined the room")
                     : QStringLiteral("NWWS test failed"));
    return joined ? 0 : 1;
}
} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const NwwsOptions options = NwwsOptions::parse(arguments);
    std::unique_ptr<QCoreApplication> app;
    if (options.headless || options.test || options.showHelp || options.showVersion ||
        !options.error.isEmpty())
        app = std::make_unique<QCoreApplication>(argc, argv);
    else
        app = std::make_unique<QApplication>(argc, argv);
    if (!options.error.isEmpty()) {
        QTextStream(stderr) << kName << ": " << options.error << "\n" << NwwsOptions::helpText();
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        QTextStream(stdout) << (options.showHelp
                                    ? NwwsOptions::helpText()
                                    : QStringLiteral("NWWSEngine " VANTOREL_VERSION "\n"));
        return 0;
    }

    QString error;
    const XmppSession::Config session = sessionConfig(options, &error);
    if (session.password.isEmpty()) {
        const QString text = QStringLiteral("NWWS engine not started: ") + error + QLatin1Char('.');
        QTextStream(stderr) << text << Qt::endl;
        if (!options.headless && !options.test)
            QMessageBox::warning(nullptr, QStringLiteral("Vantorel / NWWS Engine"), text);
        return 1;
    }
    if (options.test)
        return runTest(session);

    const IngestSettings settings = IngestSettings::read(SettingsStore());
    for (const QString& problem : settings.problems)
        printLine(problem);
    NwwsEngine::Config config;
    config.xmpp = session;
    config.dataIn = options.dataIn.isEmpty() ? settings.transferPath : options.dataIn;
    config.spillDir = IngestSettings::programDirectory() + QStringLiteral("track/unwritten/");
    config.passwordDir = IngestSettings::programDirectory();
    config.stampPath = IngestSettings::programDirectory() + QStringLiteral("track/nwws-feed.stamp");
    QDir().mkpath(IngestSettings::programDirectory() + QStringLiteral("track"));
    // two engines would write every product twice
    EngineLock lock(kName, config.dataIn);
    if (!lock.tryLock(&error)) {
        const QString text = QStringLiteral("NWWS engine not started: ") + error + QLatin1Char('.');
        QTextStream(stderr) << text << Qt::endl;
        if (!options.headless)
            QMessageBox::information(nullptr, QStringLiteral("Vantorel / NWWS Engine"), text);
        return 1;
    }
    NwwsEngine engine(config, officeStates());
    EngineCommandServer commands(kName);
    QObject::connect(&commands, &EngineCommandServer::shutdownRequested, app.get(),
                     &QCoreApplication::quit);
    std::unique_ptr<NwwsEngineWindow> window;
    if (options.headless) {
        QObject::connect(&engine, &NwwsEngine::logMessage, &printLine);
        QObject::connect(&commands, &EngineCommandServer::logMessage, &printLine);
        QObject::connect(&engine, &NwwsEngine::fileWritten,
                         [](const QString& path) { printLine(QStringLiteral("Wrote ") + path); });
    } else {
        window = std::make_unique<NwwsEngineWindow>(engine);
        QObject::connect(&commands, &EngineCommandServer::logMessage, window.get(),
                         &NwwsEngineWindow::addLog);
        QObject::connect(&commands, &EngineCommandServer::hideRequested, window.get(),
                         &NwwsEngineWindow::hideWindow);
        QObject::connect(&commands, &EngineCommandServer::showRequested, window.get(),
                         &NwwsEngineWindow::showWindow);
        window->show();
    }
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, app.get(),
                     [](int number) {
                         printLine(QStringLiteral("Signal %1: stopping").arg(number));
                         QCoreApplication::quit();
                     });
    if (!commands.listen(&error))
        printLine(QStringLiteral("Commands from Vantorel will not arrive: ") + error);
    printLine(QStringLiteral("Writing products into ") + engine.dataInDirectory());
    engine.start();
    const int result = app->exec();
    engine.stop();
    const NwwsEngine::Counters& c = engine.counters();
    printLine(QStringLiteral("NWWSEngine stopped: %1 received, %2 written, %3 kept aside, %4 lost, "
                             "%5 reconnects")
                  .arg(c.received)
                  .arg(c.written)
                  .arg(c.spilled)
                  .arg(c.lost)
                  .arg(c.reconnects));
    return result;
}
