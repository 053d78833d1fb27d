#include "images/ImageQuarantine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString ImageQuarantine::move(const QString& path, const QString& directory)
{
    if (directory.isEmpty() || !QFileInfo::exists(path) || !QDir().mkpath(directory))
        return {};
    const QString base = QFileInfo(path).fileName();
    QString target = QDir(directory).filePath(base);
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = QDir(directory).filePath(base + QLatin1Char('.') + QString::number(n));
    if (QFile::rename(path, target))
        return target;
    // Another file system: copy, and remove the original only once the copy
    // is whole. A pipe or device is never copied: reading it could wait for ever.
    if (!QFileInfo(path).isFile() || !QFile::copy(path, target))
        return {};
    if (QFileInfo(target).size() != QFileInfo(path).size()) {
        QFile::remove(target);
        return {};
    }
    QFile::remove(path);
    return target;
}
