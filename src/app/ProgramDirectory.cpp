#include "app/ProgramDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

QString ProgramDirectory::path()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/vantorel")) + QLatin1Char('/');
}

QStringList ProgramDirectory::shippedDataDirs()
{
    QStringList dirs;
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty())
        dirs << QDir::cleanPath(appDir + QStringLiteral("/../share/vantorel"));
    dirs << QStringLiteral(VANTOREL_SOURCE_DATA_DIR);
    QStringList existing;
    for (const QString& d : dirs) {
        if (QFileInfo(d).isDir() && !existing.contains(d))
            existing << d;
    }
    return existing;
}

QStringList ProgramDirectory::prepare(const QString& programDir, const QStringList& sources)
{
    QDir().mkpath(programDir);
    QStringList copied;
    for (const QString& source : sources) {
        const QDir dir(source);
        for (const QString& name : dir.entryList(QDir::Files)) {
            if (name.endsWith(QLatin1String(".md")))
                continue; // source notes stay with the sources
            const QString target = programDir + name;
            if (QFileInfo::exists(target))
                continue;
            if (QFile::copy(dir.filePath(name), target)) {
                QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
                copied << name;
            }
        }
    }
    return copied;
}
