#pragma once

#include <QString>
#include <QStringList>

// How a started program should appear.
enum class LaunchWindow
{
    Hidden,
    Normal,
    NormalNoFocus
};

// Starts outside programs from a command line, without waiting.
class IProcessLauncher
{
public:
    virtual ~IProcessLauncher() = default;
    // Returns the started process id, or 0 when the program could not be found
    // or started.
    virtual qint64 start(const QString& commandLine, LaunchWindow window) = 0;
    // The same, with the program running in workingDirectory. Launchers that
    // do not place programs anywhere ignore the directory.
    virtual qint64 startIn(const QString& workingDirectory, const QString& commandLine,
                           LaunchWindow window)
    {
        Q_UNUSED(workingDirectory)
        return start(commandLine, window);
    }

    // Starts program with exactly these arguments in workingDirectory: no
    // splitting, no shell, so an argument cannot turn into several. A program
    // given by an absolute path is started as it is, a bare name is looked up
    // as for a command line. Launchers that only take command lines get each
    // argument quoted (a double quote inside written as three).
    virtual qint64 startProgram(const QString& workingDirectory, const QString& program,
                                const QStringList& arguments, LaunchWindow window)
    {
        QStringList quoted;
        for (const QString& part : QStringList(program) + arguments) {
            QString inner = part;
            inner.replace(QLatin1Char('"'), QStringLiteral("\"\"\""));
            quoted << QLatin1Char('"') + inner + QLatin1Char('"');
        }
        return startIn(workingDirectory, quoted.join(QLatin1Char(' ')), window);
    }
};

// Splits command lines (double quotes group) and starts the program detached.
// A bare program name, or a name in the program directory, is looked up by its
// base name (".exe" dropped) in the program directory, then beside the running
// executable, then in the installed companion directory (../libexec/vantorel/
// from it), then on PATH. Any other path names the program itself: it is
// used as given and never replaced by a file of the same name elsewhere.
class ProcessLauncher : public IProcessLauncher
{
public:
    explicit ProcessLauncher(QString programDir);
    qint64 start(const QString& commandLine, LaunchWindow window) override;
    qint64 startIn(const QString& workingDirectory, const QString& commandLine,
                   LaunchWindow window) override;
    qint64 startProgram(const QString& workingDirectory, const QString& program,
                        const QStringList& arguments, LaunchWindow window) override;

    // The program and its arguments for a command line; the program is
    // resolved as described above (empty when it cannot be found).
    QStringList resolve(const QString& commandLine) const;
    // The program as written and its arguments, split as resolve splits them.
    QStringList split(const QString& commandLine) const;
    QString findProgram(const QString& program) const;
    // Blanks separate arguments; double quotes group, three quotes in a row
    // stand for one literal quote, and an empty pair ("") is an empty argument.
    static QStringList splitCommand(const QString& commandLine);

private:
    QString lookUp(const QString& base) const;
    static QString givenPath(const QString& path);

    QString m_programDir;
};
