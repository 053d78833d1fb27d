#include "PurgeLog.h"

#include <QFile>
#include <QFileInfo>

PurgeLog::PurgeLog(QString path) : m_path(std::move(path)) {}

bool PurgeLog::append(const QStringList& lines) const
{
    if (QFileInfo(m_path).size() > MaxBytes) {
        QString old = m_path;
        old.replace(QStringLiteral(".txt"), QStringLiteral(".old.txt"));
        QFile::remove(old);
        QFile::rename(m_path, old);
    }
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    for (const QString& line : lines)
        file.write(line.toUtf8() + "\r\n");
    return file.flush();
}
