#pragma once

#include "CommonEngineOptions.h"
#include "IngestPipeline.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class EngineCommandServer;
class EngineLock;
class IngestWindow;
class QCoreApplication;
class TerminationSignals;

// The process around an ingest engine, the same for every engine: the
// application object (with windows unless headless), the answers to --help,
// --version and a bad option, the one-engine-per-Data-In lock, the program's
// command socket (HIDE, SHOW, SHUTDOWN), termination signals, and where
// messages go: the engine's window, or time-stamped lines on stdout.
//
//   EngineHost host(QStringLiteral("Engine"), commandLine, argc, argv);
//   if (const auto status = host.answerCommandLine()) return *status;
//   if (!host.lock(dataIn, title)) return 1;
//   MyEngine engine(...);
//   host.printMessagesFrom(&engine, &MyEngine::logMessage);
//   std::unique_ptr<MyWindow> window;
//   if (!host.headless()) host.setWindow((window = std::make_unique<MyWindow>(engine)).get());
//   return host.run(dataIn, [&] { engine.start(); }, [&] { engine.stop(); });
class EngineHost
{
public:
    // What every engine's command line says about the process.
    struct CommandLine
    {
        bool headless = false;
        bool showHelp = false;
        bool showVersion = false;
        QString error;    // a bad option: printed with the help text
        QString helpText; // the engine's usage

        static CommandLine of(const CommonEngineOptions& options, const QString& helpText)
        {
            return {options.headless, options.showHelp, options.showVersion, options.error,
                    helpText};
        }
    };
    // Where lines go: standard output, or standard error for isError.
    using Printer = std::function<void(const QString& text, bool isError)>;

    // program: "Engine", "VTIngest"... names the command socket, the lock and
    // the messages. Makes the application object unless one exists already.
    EngineHost(const QString& program, CommandLine commandLine, int& argc, char** argv);
    ~EngineHost();
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    static QStringList arguments(int argc, char** argv);
    // A time-stamped line on standard output.
    static void printLine(const QString& text);

    // Help, version or a bad option: printed, and the exit status to end
    // with (0, or 2 for a bad option); nothing when the engine is to run.
    std::optional<int> answerCommandLine() const;
    bool headless() const { return m_commandLine.headless; }
    void setPrinter(Printer printer) { m_printer = std::move(printer); }

    // One engine of this program per Data-In directory, held while the host
    // lives. False when another engine holds it, said on standard error and,
    // with windows, in a message box with this title.
    bool lock(const QString& dataInDir, const QString& windowTitle);
    // The engine cannot start: the reason on standard error and, with
    // windows, in a message box with this title.
    void refuse(const QString& text, const QString& windowTitle) const;
    // What the engine did, added to the line that says it stopped
    // ("NAME stopped: SUMMARY").
    void setSummary(std::function<QString()> summary) { m_summary = std::move(summary); }
    // The summary of an engine receiving the broadcast stream.
    static QString summaryOf(const IngestPipeline::Counters& counters);

    // A message of the host: into the window, or a line on standard output.
    void log(const QString& text);
    // Without a window, a line for each message of the engine (a window shows
    // its engine's messages itself).
    template <typename Sender>
    void printMessagesFrom(const Sender* sender, void (Sender::*signal)(const QString&))
    {
        QObject::connect(sender, signal, &m_context, [this](const QString& text) {
            if (!m_window)
                print(text);
        });
    }
    // Without a window, a line for each file written (a window lists them itself).
    template <typename Sender>
    void printWritesFrom(const Sender* sender, void (Sender::*signal)(const QString&))
    {
        QObject::connect(sender, signal, &m_context, [this](const QString& path) {
            if (!m_window)
                print(QStringLiteral("Wrote ") + path);
        });
    }

    // The engine's window (owned by the caller, made after the engine so that
    // it goes first): messages and HIDE / SHOW go to it; run() shows it.
    void setWindow(IngestWindow* window);

    // Listens for the program's commands, calls start and serves the event
    // loop until SHUTDOWN or a termination signal; then calls stop. Returns
    // the exit status.
    int run(const QString& dataInDir, const std::function<void()>& start,
            const std::function<void()>& stop = {});

private:
    void print(const QString& text, bool isError = false) const;
    void hideRequested();
    void showRequested();

    QString m_program;
    CommandLine m_commandLine;
    std::unique_ptr<QCoreApplication> m_application;
    Printer m_printer;
    std::function<QString()> m_summary;
    QObject m_context; // the receiver of the connections made here
    std::unique_ptr<EngineCommandServer> m_commands;
    std::unique_ptr<TerminationSignals> m_termination;
    std::unique_ptr<EngineLock> m_lock;
    QPointer<IngestWindow> m_window;
};
