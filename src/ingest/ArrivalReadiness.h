#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class DirectoryWatcher;

// Decides which files of a Data-In listing are complete and may be taken.
// A file the watcher reported closed after writing or moved in is taken at
// once. One it saw created and never closed (a finished file linked in by
// ln or linkat, or a writer still at work) is taken once its size and
// modification time have held still for HoldStillMs over later passes. Any
// other file (no notification, e.g. a network share, or events lost) is
// taken when its size and time are unchanged since the previous pass.
class ArrivalReadiness
{
public:
    // Milliseconds on a clock that never goes back.
    using Clock = std::function<qint64()>;
    // How long a name reported created but never closed must keep its size
    // and time before it is taken.
    static constexpr qint64 HoldStillMs = 1500;

    explicit ArrivalReadiness(DirectoryWatcher* watcher = nullptr, Clock clock = {});

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
    struct Seen
    {
        Stamp stamp;
        qint64 since = 0; // when the stamp was first seen
    };
    static bool stampOf(const QString& path, Stamp* stamp);

    DirectoryWatcher* m_watcher;
    Clock m_clock;
    QSet<QString> m_reported;    // completed and still to be taken
    QHash<QString, Seen> m_seen; // unreported files at the previous pass
};
