#include "abcPager/PagerFilesLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString PagerFilesLocation::withSlash(const QString& dir)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir;
    return dir + QLatin1Char('/');
}

QString PagerFilesLocation::userProgramDir()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return withSlash(base) + QStringLiteral("vantorel/");
}

QString PagerFilesLocation::resolve(const QString& configDirOption, const QString& ownDir)
{
    if (!configDirOption.isEmpty())
        return withSlash(QFileInfo(configDirOption).absoluteFilePath());
    if (!ownDir.isEmpty()) {
        const QDir own(ownDir);
        for (const QString& name : {QStringLiteral("users.ini"), QStringLiteral("groups.ini")}) {
            if (QFileInfo(own.filePath(name)).isFile())
                return withSlash(ownDir);
        }
    }
    return userProgramDir();
}
