#include "ingest/ArrivalReadiness.h"

#include "platform/DirectoryWatcher.h"

#include <QFile>
#include <chrono>
#include <sys/stat.h>

namespace {
qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

ArrivalReadiness::ArrivalReadiness(DirectoryWatcher* watcher, Clock clock)
    : m_watcher(watcher), m_clock(clock ? std::move(clock) : Clock(steadyMs))
{
}

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
        m_watcher->readEvents(); // every listed file's report is queued by now
        if (m_watcher->takeOverflow())
            m_reported.clear(); // a reported file may have been written again
    }
    const qint64 now = m_clock();
    QStringList taken;
    QSet<QString> reported;
    QHash<QString, Seen> seen;
    for (const QString& name : names) {
        if (m_reported.contains(name) || (m_watcher && m_watcher->takeCompleted(name))) {
            taken << name;
            reported.insert(name); // kept until the file is gone
            continue;
        }
        Stamp stamp;
        if (!stampOf(directory + name, &stamp))
            continue;
        const auto before = m_seen.constFind(name);
        const bool unchanged = before != m_seen.cend() && before->stamp == stamp;
        const qint64 since = unchanged ? before->since : now;
        seen.insert(name, {stamp, since});
        if (!unchanged)
            continue;
        // Created and never closed under its name: either linked in whole
        // (ln, an unnamed temporary file linked in) or still being written.
        // A writer that keeps adding changes the size or time; one that
        // has held still for a while is taken.
        if (m_watcher && m_watcher->isBeingWritten(name) && now - since < HoldStillMs)
            continue;
        taken << name;
    }
    m_reported.swap(reported);
    m_seen.swap(seen);
    return taken;
}
