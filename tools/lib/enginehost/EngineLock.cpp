#include "EngineLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

EngineLock::EngineLock(const QString& engineName, const QString& dataInDir)
    : m_engineName(engineName), m_dataIn(dataInDir),
      m_lock(std::make_unique<QLockFile>(lockPathFor(engineName, dataInDir)))
{
    m_lock->setStaleLockTime(0); // only a lock of a living process counts
}

EngineLock::~EngineLock() = default;

QString EngineLock::lockPathFor(const QString& engineName, const QString& dataInDir)
{
    const QFileInfo info(dataInDir);
    QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty())
        canonical = QDir::cleanPath(info.absoluteFilePath());
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(
        QStringLiteral("vantorel-%1-%2.lock").arg(engineName, QString::fromLatin1(hash)));
}

bool EngineLock::tryLock(QString* why)
{
    if (m_lock->tryLock(0))
        return true;
    qint64 pid = 0;
    QString host;
    QString app;
    if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, &host, &app))
        *why = QStringLiteral("another %1 (process %2) already writes into %3")
                   .arg(m_engineName)
                   .arg(pid)
                   .arg(m_dataIn);
    else
        *why =
            QStringLiteral("cannot make the lock file %1").arg(lockPathFor(m_engineName, m_dataIn));
    return false;
}
