#include "alarms/ExeAlarmCommand.h"

#include <QFileInfo>
#include <QProcess>

ExeAlarmCommand::ExeAlarmCommand(const QString& commandLine, const QString& productPath,
                                 const QString& programDir)
{
    QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return;
    for (QString& part : parts)
        part.replace(QLatin1String("$1"), productPath);
    m_program = parts.takeFirst();
    m_arguments = parts;
    const QFileInfo program(m_program);
    m_workingDirectory =
        program.isAbsolute() ? program.absolutePath() + QLatin1Char('/') : programDir;
}
