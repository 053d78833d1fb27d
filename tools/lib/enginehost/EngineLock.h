#pragma once

#include <QString>
#include <memory>

class QLockFile;

// One engine of a kind per user and Data-In directory: a lock file in the
// user's runtime directory, named after the engine and the directory, held
// while this object lives. A lock left by an engine that died is taken over.
class EngineLock
{
public:
    EngineLock(const QString& engineName, const QString& dataInDir);
    ~EngineLock();

    // True when this engine now holds the lock; otherwise the reason, naming
    // the process that holds it.
    bool tryLock(QString* why);
    static QString lockPathFor(const QString& engineName, const QString& dataInDir);

private:
    QString m_engineName;
    QString m_dataIn;
    std::unique_ptr<QLockFile> m_lock;
};
