#include "platform/ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ProcessLauncher::ProcessLauncher(QString programDir) : m_programDir(std::move(programDir)) {}

QString ProcessLauncher::findProgram(const QString& program) const
{
    QString base = QFileInfo(program).fileName();
    if (base.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        base.chop(4);
    if (base.isEmpty())
        return {};
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList dirs = {
        m_programDir, appDir,
        appDir.isEmpty() ? QString()
                         : QDir::cleanPath(appDir + QStringLiteral("/" VANTOREL_COMPANION_RELDIR))};
    for (const QString& dir : dirs) {
        if (dir.isEmpty())
            continue;
        // Exact name first, then a lower-case one ("Engine" and "engine").
        for (const QString& name : {base, base.toLower()}) {
            const QFileInfo info(QDir(dir).filePath(name));
            if (info.isFile() && info.isExecutable())
                return info.absoluteFilePath();
        }
    }
    QString onPath = QStandardPaths::findExecutable(base);
    if (onPath.isEmpty())
        onPath = QStandardPaths::findExecutable(base.toLower());
    if (onPath.isEmpty() && QFileInfo(program).isAbsolute() && QFileInfo(program).isExecutable())
        onPath = program;
    return onPath;
}

QStringList ProcessLauncher::resolve(const QString& commandLine) const
{
    QStringList parts;
    QString rest = commandLine;
    // The program directory is put before a program name unquoted: keep it
    // together even when it holds blanks.
    if (!m_programDir.isEmpty() && rest.startsWith(m_programDir)) {
        const qsizetype end = rest.indexOf(QLatin1Char(' '), m_programDir.size());
        parts << (end < 0 ? rest : rest.left(end));
        rest = end < 0 ? QString() : rest.mid(end + 1);
        parts << QProcess::splitCommand(rest);
    } else {
        parts = QProcess::splitCommand(rest);
    }
    if (parts.isEmpty())
        return {};
    parts[0] = findProgram(parts.first());
    if (parts.first().isEmpty())
        return {};
    return parts;
}

qint64 ProcessLauncher::start(const QString& commandLine, LaunchWindow window)
{
    return startIn(m_programDir, commandLine, window);
}

qint64 ProcessLauncher::startIn(const QString& workingDirectory, const QString& commandLine,
                                LaunchWindow window)
{
    Q_UNUSED(window) // console programs get no window on this platform either way
    QStringList parts = resolve(commandLine);
    if (parts.isEmpty())
        return 0;
    QProcess process;
    process.setProgram(parts.takeFirst());
    process.setArguments(parts);
    process.setWorkingDirectory(workingDirectory);
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return 0;
    return pid == 0 ? 1 : pid;
}
