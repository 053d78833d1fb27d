#include "platform/ProcessLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ProcessLauncher::ProcessLauncher(QString programDir) : m_programDir(std::move(programDir)) {}

namespace {
bool isExecutableFile(const QFileInfo& info)
{
    return info.isFile() && info.isExecutable();
}

QString withoutExe(const QString& name)
{
    return name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive) ? name.chopped(4) : name;
}
} // namespace

// The program directory, beside this executable, the installed companion
// directory, then PATH; the exact name first, then a lower-case one ("Engine"
// and "engine").
QString ProcessLauncher::lookUp(const QString& base) const
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList dirs = {
        m_programDir, appDir,
        appDir.isEmpty() ? QString()
                         : QDir::cleanPath(appDir + QStringLiteral("/" VANTOREL_COMPANION_RELDIR))};
    for (const QString& dir : dirs) {
        if (dir.isEmpty())
            continue;
        for (const QString& name : {base, base.toLower()}) {
            const QFileInfo info(QDir(dir).filePath(name));
            if (isExecutableFile(info))
                return info.absoluteFilePath();
        }
    }
    QString onPath = QStandardPaths::findExecutable(base);
    if (onPath.isEmpty())
        onPath = QStandardPaths::findExecutable(base.toLower());
    return onPath;
}

// A program named by its own path: that file, or the same path without ".exe".
QString ProcessLauncher::givenPath(const QString& path)
{
    for (const QString& candidate : {path, withoutExe(path)}) {
        const QFileInfo info(QDir::cleanPath(candidate));
        if (isExecutableFile(info))
            return info.absoluteFilePath();
    }
    return {};
}

QString ProcessLauncher::findProgram(const QString& program) const
{
    const QFileInfo info(program);
    const QString base = withoutExe(info.fileName());
    if (base.isEmpty())
        return {};
    if (!program.contains(QLatin1Char('/')))
        return lookUp(base);
    const bool inProgramDir = !m_programDir.isEmpty() && info.isAbsolute() &&
                              QDir(info.absolutePath()) == QDir(m_programDir);
    if (inProgramDir)
        return lookUp(base);
    if (info.isAbsolute())
        return givenPath(program);
    return givenPath(QDir(m_programDir).filePath(program));
}

QStringList ProcessLauncher::splitCommand(const QString& commandLine)
{
    QStringList args;
    QString current;
    bool started = false; // an argument has begun, possibly with an empty quote pair
    bool inQuote = false;
    int quotes = 0;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char('"')) {
            started = true;
            if (++quotes == 3) {
                quotes = 0;
                current += c;
            }
            continue;
        }
        if (quotes == 1)
            inQuote = !inQuote;
        quotes = 0;
        if (!inQuote && c.isSpace()) {
            if (started)
                args << current;
            current.clear();
            started = false;
        } else {
            current += c;
            started = true;
        }
    }
    if (started)
        args << current;
    return args;
}

QStringList ProcessLauncher::resolve(const QString& commandLine) const
{
    QStringList parts = split(commandLine);
    if (parts.isEmpty())
        return {};
    parts[0] = findProgram(parts.first());
    if (parts.first().isEmpty())
        return {};
    return parts;
}

QStringList ProcessLauncher::split(const QString& commandLine) const
{
    QStringList parts;
    QString rest = commandLine;
    // The program directory is put before a program name unquoted: keep it
    // together even when it holds blanks.
    if (!m_programDir.isEmpty() && rest.startsWith(m_programDir)) {
        const qsizetype end = rest.indexOf(QLatin1Char(' '), m_programDir.size());
        parts << (end < 0 ? rest : rest.left(end));
        rest = end < 0 ? QString() : rest.mid(end + 1);
        parts << splitCommand(rest);
    } else {
        parts = splitCommand(rest);
    }
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

qint64 ProcessLauncher::startProgram(const QString& workingDirectory, const QString& program,
                                     const QStringList& arguments, LaunchWindow window)
{
    Q_UNUSED(window)
    const QFileInfo named(program);
    QString path;
    if (named.isAbsolute())
        path = named.isFile() && named.isExecutable() ? named.absoluteFilePath() : QString();
    else
        path = findProgram(program);
    if (path.isEmpty())
        return 0;
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
    process.setStandardInputFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid))
        return 0;
    return pid == 0 ? 1 : pid;
}
