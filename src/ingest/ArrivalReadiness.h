#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class DirectoryWatcher;

// Decides which files of a Data-In listing are complete and may be taken.
// A file the watcher reported closed after writing or moved in is taken at
// once; one it saw created and not closed yet waits. Any other file (no
// notification, e.g. a network share, or events lost) is taken only when its
// size and modification time are unchanged since the previous pass.
class ArrivalReadiness
{
public:
    explicit ArrivalReadiness(DirectoryWatcher* watcher = nullptr) : m_watcher(watcher) {}

    // The names, in their order, that may be taken now from directory.
    QStringList ready(const QString& directory, const QStringList& names);
    // Forgets what earlier passes saw.
    void reset();

private:
    struct Stamp
    {
        qint64 size = -1;
        qint64 modifiedNs = -1;
        bool operator==(const Stamp&) const = default;
    };
    static bool stampOf(const QString& path, Stamp* stamp);

    DirectoryWatcher* m_watcher;
    QSet<QString> m_reported;     // completed and still to be taken
    QHash<QString, Stamp> m_seen; // unreported files at the previous pass
};
