#include "ingest/ArrivalReadiness.h"

#include "platform/DirectoryWatcher.h"

#include <QFile>
#include <sys/stat.h>

bool ArrivalReadiness::stampOf(const QString& path, Stamp* stamp)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    stamp->size = info.st_size;
    stamp->modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return true;
}

void ArrivalReadiness::reset()
{
    m_reported.clear();
    m_seen.clear();
}

QStringList ArrivalReadiness::ready(const QString& directory, const QStringList& names)
{
    if (m_watcher) {
        m_reported.unite(m_watcher->takeCompleted());
        if (m_watcher->takeOverflow())
            m_reported.clear(); // a reported file may have been written again
    }
    QStringList taken;
    QSet<QString> reported;
    QHash<QString, Stamp> seen;
    for (const QString& name : names) {
        if (m_reported.contains(name)) {
            taken << name;
            reported.insert(name); // kept until the file is gone
            continue;
        }
        if (m_watcher && m_watcher->isBeingWritten(name))
            continue;
        Stamp stamp;
        if (!stampOf(directory + name, &stamp))
            continue;
        const auto before = m_seen.constFind(name);
        if (before != m_seen.cend() && *before == stamp)
            taken << name;
        seen.insert(name, stamp);
    }
    m_reported.swap(reported);
    m_seen.swap(seen);
    return taken;
}
