#include "EngineHost.h"

#include "EngineCommandServer.h"
#include "EngineLock.h"
#include "IngestWindow.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QTextStream>

namespace {
QString timeStamped(const QString& text)
{
    return QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char(' ') + text;
}

void printTo(FILE* stream, const QString& text)
{
    QTextStream(stream) << text << Qt::endl;
}

bool needsWindows(const EngineHost::CommandLine& line)
{
    return !line.headless && !line.showHelp && !line.showVersion && line.error.isEmpty();
}
} // namespace

EngineHost::EngineHost(const QString& program, CommandLine commandLine, int& argc, char** argv)
    : m_program(program), m_commandLine(std::move(commandLine))
{
    if (!QCoreApplication::instance()) {
        if (needsWindows(m_commandLine))
            m_application = std::make_unique<QApplication>(argc, argv);
        else
            m_application = std::make_unique<QCoreApplication>(argc, argv);
    }
    m_printer = [](const QString& text, bool isError) {
        printTo(isError ? stderr : stdout, isError ? text : timeStamped(text));
    };
}

EngineHost::~EngineHost() = default;

QStringList EngineHost::arguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void EngineHost::printLine(const QString& text)
{
    printTo(stdout, timeStamped(text));
}

std::optional<int> EngineHost::answerCommandLine() const
{
    if (!m_commandLine.error.isEmpty()) {
        QTextStream(stderr) << m_program << ": " << m_commandLine.error << "\n"
                            << m_commandLine.helpText;
        return 2;
    }
    if (m_commandLine.showHelp || m_commandLine.showVersion) {
        QTextStream(stdout) << (m_commandLine.showHelp
                                    ? m_commandLine.helpText
                                    : m_program + QStringLiteral(" " VANTOREL_VERSION "\n"));
        return 0;
    }
    return std::nullopt;
}

bool EngineHost::lock(const QString& dataInDir, const QString& windowTitle)
{
    m_lock = std::make_unique<EngineLock>(m_program, dataInDir);
    QString why;
    if (m_lock->tryLock(&why))
        return true;
    m_lock.reset();
    refuse(m_program + QStringLiteral(" not started: ") + why + QLatin1Char('.'), windowTitle);
    return false;
}

QString EngineHost::summaryOf(const IngestPipeline::Counters& c)
{
    return QStringLiteral("%1 blocks, %2 written, %3 checksum errors, %4 reconnects")
        .arg(c.blocks)
        .arg(c.files)
        .arg(c.checksumErrors)
        .arg(c.reconnects);
}

void EngineHost::refuse(const QString& text, const QString& windowTitle) const
{
    print(text, true);
    if (!headless() && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::information(nullptr, windowTitle, text);
}

void EngineHost::log(const QString& text)
{
    if (m_window)
        m_window->addLog(text);
    else
        print(text);
}

void EngineHost::setWindow(IngestWindow* window)
{
    m_window = window;
}

int EngineHost::run(const QString& dataInDir, const std::function<void()>& start,
                    const std::function<void()>& stop)
{
    m_commands = std::make_unique<EngineCommandServer>(m_program);
    QObject::connect(m_commands.get(), &EngineCommandServer::shutdownRequested, &m_context,
                     [] { QCoreApplication::quit(); });
    QObject::connect(m_commands.get(), &EngineCommandServer::hideRequested, &m_context,
                     [this] { hideRequested(); });
    QObject::connect(m_commands.get(), &EngineCommandServer::showRequested, &m_context,
                     [this] { showRequested(); });
    QObject::connect(m_commands.get(), &EngineCommandServer::logMessage, &m_context,
                     [this](const QString& text) { log(text); });
    // a service manager's stop (SIGTERM) ends the engine as SHUTDOWN does
    m_termination = std::make_unique<TerminationSignals>();
    QObject::connect(m_termination.get(), &TerminationSignals::terminationRequested, &m_context,
                     [this](int number) {
                         print(QStringLiteral("Signal %1: stopping").arg(number));
                         QCoreApplication::quit();
                     });
    if (m_window)
        m_window->show();
    QString error;
    if (!m_commands->listen(&error))
        log(QStringLiteral("Commands from Vantorel will not arrive: ") + error);
    print(QStringLiteral("Writing products into ") + dataInDir);
    if (start)
        start();
    const int result = QCoreApplication::exec();
    if (stop)
        stop();
    print(m_program + QStringLiteral(" stopped") +
          (m_summary ? QStringLiteral(": ") + m_summary() : QString()));
    m_termination.reset();
    m_commands.reset();
    return result;
}

void EngineHost::print(const QString& text, bool isError) const
{
    m_printer(text, isError);
}

void EngineHost::hideRequested()
{
    if (m_window)
        m_window->hideWindow();
    else
        print(QStringLiteral("HIDE: no window to hide"));
}

void EngineHost::showRequested()
{
    if (m_window)
        m_window->showWindow();
    else
        print(QStringLiteral("SHOW: no window to show"));
}
