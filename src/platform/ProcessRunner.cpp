#include "platform/ProcessRunner.h"

#include <QProcess>
#include <QTimer>

namespace {

// Processes let go by a destroyed runner while their programs still run.
// Deleting a running QProcess kills its program, so each object is kept
// until its program ends; one still running when this program exits goes
// with it, unobserved. Kept for the whole process lifetime (never freed), so
// the objects stay reachable rather than lost.
QList<QProcess*>& releasedProcesses()
{
    static auto* kept = new QList<QProcess*>;
    return *kept;
}

void release(QProcess* process)
{
    process->disconnect();
    process->setParent(nullptr);
    releasedProcesses() << process;
    QObject::connect(process, &QProcess::finished, process, [process] {
        releasedProcesses().removeOne(process);
        process->deleteLater();
    });
}

} // namespace

ProcessRunner::ProcessRunner(QString programDir, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir))
{
}

ProcessRunner::~ProcessRunner()
{
    // Destroying a running QProcess kills it; a mail or page still on its
    // way must go out all the same. Its object is released instead: the
    // program runs on by itself (its standard channels are the null device).
    for (QProcess* process : std::as_const(m_running))
        release(process);
    m_running.clear();
}

int ProcessRunner::released()
{
    return static_cast<int>(releasedProcesses().size());
}

void ProcessRunner::run(const QString& commandLine, LaunchWindow window, Finished finished)
{
    Q_UNUSED(window) // console programs get no window on this platform either way
    QStringList parts = ProcessLauncher(m_programDir).resolve(commandLine);
    if (parts.isEmpty()) {
        reportLater(finished, {ProcessOutcome::Kind::NotFound, -1});
        return;
    }
    auto* process = new QProcess(this);
    process->setProgram(parts.takeFirst());
    process->setArguments(parts);
    process->setWorkingDirectory(m_programDir);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    connect(process, &QProcess::finished, this,
            [this, process, finished](int exitCode, QProcess::ExitStatus status) {
                const bool crashed = status == QProcess::CrashExit;
                report(process, finished,
                       {crashed ? ProcessOutcome::Kind::Crashed : ProcessOutcome::Kind::Finished,
                        crashed ? -1 : exitCode});
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, finished](QProcess::ProcessError error) {
                // Other errors are followed by finished().
                if (error == QProcess::FailedToStart)
                    report(process, finished, {ProcessOutcome::Kind::FailedToStart, -1});
            });
    m_running << process;
    process->start();
}

void ProcessRunner::report(QProcess* process, const Finished& finished,
                           const ProcessOutcome& outcome)
{
    if (!m_running.removeOne(process))
        return; // already reported
    process->deleteLater();
    if (finished)
        finished(outcome);
}

void ProcessRunner::reportLater(const Finished& finished, const ProcessOutcome& outcome)
{
    // Reported from the event loop, as for a program that did start, so that
    // callers see one order of events.
    if (finished)
        QTimer::singleShot(0, this, [finished, outcome] { finished(outcome); });
}
