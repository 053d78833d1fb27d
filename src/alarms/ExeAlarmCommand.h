#pragma once

#include <QString>
#include <QStringList>

// The program start of an EXE alarm. The command line of "alarm-exe.txt" is
// split into program and arguments first (double quotes group), then "$1"
// in any argument is replaced by the product's path. The path therefore
// stays inside its argument whatever blanks or quotes it holds, and no shell
// ever reads it. A program given by an absolute path runs in its own
// directory, any other in the program directory.
class ExeAlarmCommand
{
public:
    ExeAlarmCommand(const QString& commandLine, const QString& productPath,
                    const QString& programDir);

    bool isEmpty() const { return m_program.isEmpty(); }
    QString program() const { return m_program; }
    QStringList arguments() const { return m_arguments; }
    QString workingDirectory() const { return m_workingDirectory; }

private:
    QString m_program;
    QStringList m_arguments;
    QString m_workingDirectory;
};
