#pragma once

// Runs a command line the way the program's launcher splits and finds it,
// in the program directory, with no input; waits at most 30 s.

#include "platform/ProcessLauncher.h"

#include <QElapsedTimer>
#include <QProcess>

struct CommandRun
{
    int exitCode = -1; // -1: not started, crashed or still running after 30 s
    qint64 elapsedMs = 0;
    QByteArray out;
};

inline CommandRun runLine(const QString& commandLine, const QString& programDir)
{
    QStringList parts = ProcessLauncher(programDir).resolve(commandLine);
    CommandRun run;
    if (parts.isEmpty())
        return run;
    QProcess process;
    process.setWorkingDirectory(programDir);
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(parts.takeFirst(), parts);
    if (process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.elapsedMs = timer.elapsed();
    run.out = process.readAllStandardOutput();
    return run;
}
