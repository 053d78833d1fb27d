#pragma once

#include "platform/ProcessLauncher.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QProcess;

// How a program started by a runner ended.
struct ProcessOutcome
{
    enum class Kind
    {
        Finished,      // it ran and ended by itself; exitCode holds its status
        NotFound,      // no such program in the program directory, beside us or on PATH
        FailedToStart, // found but could not be started
        Crashed        // killed by a signal
    };
    Kind kind = Kind::Finished;
    int exitCode = 0;

    bool succeeded() const { return kind == Kind::Finished && exitCode == 0; }
};

// Runs outside programs without waiting for them and tells how each one
// ended, later, on the thread that started it. The window thread never
// waits on the program.
class IProcessRunner
{
public:
    using Finished = std::function<void(const ProcessOutcome&)>;

    virtual ~IProcessRunner() = default;
    // Starts the command line (split and looked up as ProcessLauncher does)
    // and calls finished once, after the program has ended or failed to start.
    virtual void run(const QString& commandLine, LaunchWindow window, Finished finished) = 0;
};

// The runner over QProcess. Programs run in the program directory with
// standard input, output and error on the null device, so that they never
// wait for input and can outlive this program: a program still running when
// the runner is destroyed is left to finish on its own, unobserved, and its
// QProcess object is freed when it ends.
class ProcessRunner : public QObject, public IProcessRunner
{
    Q_OBJECT
public:
    explicit ProcessRunner(QString programDir, QObject* parent = nullptr);
    ~ProcessRunner() override;

    void run(const QString& commandLine, LaunchWindow window, Finished finished) override;
    // Programs started and not yet ended.
    int running() const { return static_cast<int>(m_running.size()); }
    // Programs still running that destroyed runners let go of.
    static int released();

private:
    void report(QProcess* process, const Finished& finished, const ProcessOutcome& outcome);
    void reportLater(const Finished& finished, const ProcessOutcome& outcome);

    QString m_programDir;
    QList<QProcess*> m_running;
};
