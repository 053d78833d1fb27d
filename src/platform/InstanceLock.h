#pragma once

#include <QString>
#include <memory>

class QLockFile;

// Tells whether another instance of the program runs, by a lock file in the
// user's runtime directory; the lock is held while this object lives.
class InstanceLock
{
public:
    explicit InstanceLock(const QString& lockPath = defaultPath());
    ~InstanceLock();
    // True when this instance now holds the lock (no other instance runs).
    bool tryLock();
    static QString defaultPath();

private:
    std::unique_ptr<QLockFile> m_lock;
};
