#pragma once

#include "ArchivePurge.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class SettingsStore;

// One run of the purge program: the store directories and purge time from
// the shared settings, the purge itself, and the lines for the log.
class PurgeRun
{
public:
    struct Outcome
    {
        QStringList lines; // for the log and standard output
        bool ok = true;    // false when a file could not be removed
    };

    // The store directories of the settings (never-set ones left out) and
    // the purge time in hours.
    static QList<ArchivePurge::Directory> directories(const SettingsStore& store,
                                                      QStringList* notes);
    static double hours(const SettingsStore& store);

    static Outcome run(const SettingsStore& store, const QDateTime& now, bool dryRun);
};
