#include "blat/ProfileLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString ProfileLocation::withSlash(const QString& dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir;
    return dir + QLatin1Char('/');
}

QString ProfileLocation::userProgramDir()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return withSlash(base) + QStringLiteral("vantorel/");
}

QString ProfileLocation::resolve(const QString& configDirOption, const QString& ownDir,
                                 const QString& profileFileName)
{
    if (!configDirOption.isEmpty())
        return withSlash(QFileInfo(configDirOption).absoluteFilePath());
    if (!ownDir.isEmpty() && QFileInfo(QDir(ownDir).filePath(profileFileName)).isFile())
        return withSlash(ownDir);
    return userProgramDir();
}
