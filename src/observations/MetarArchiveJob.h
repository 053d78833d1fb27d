#pragma once

#include "observations/MetarFileScan.h"

#include <QString>
#include <QStringList>
#include <atomic>

// The interactive METAR search over the hourly directory: with one hourly
// file that file's latest observations, with more the archive of the last
// 14 files, newest first or (Reverse) oldest first. Plain work without
// window or shared state, so that it can run off the window thread.
class MetarArchiveJob
{
public:
    static inline const QString Pattern = QStringLiteral("SAHOURLY*.TXT;SAHOURLY*.0*");
    static inline const QString LatestName = QStringLiteral("SAHOURLY.TXT");
    static inline const QString ArchiveHeading =
        QStringLiteral("Hourly weather observation archive: \r\n\r\n");
    static constexpr int MaxFiles = 14;

    struct Outcome
    {
        enum class Kind
        {
            NoFiles,  // no hourly file listed
            Single,   // exactly one: its scan is in single
            Archive,  // more: text holds heading, reports and notes
            Cancelled // stopped before the end
        };
        Kind kind = Kind::NoFiles;
        MetarFileScan::Result single;
        QString singleName;
        QString text;
    };

    // The hourly files of the directory in ascending order of name.
    static QStringList hourlyFiles(const QString& saPath);
    // The names the archive search reads, in reading order: the last
    // MaxFiles of the listing, newest first unless oldestFirst, without
    // "SAHOURLY.TXT" (it repeats the newest time-stamped copy).
    static QStringList searchOrder(const QStringList& names, bool oldestFirst);

    // stations is the user's answer (upper-cased and split here). cancel,
    // when given and set, stops the search between files.
    static Outcome run(const QString& saPath, const QString& stations, bool oldestFirst,
                       const std::atomic<bool>* cancel = nullptr);
    // The same over a listing already made (names in ascending order).
    static Outcome search(const QString& saPath, const QStringList& names, const QString& stations,
                          bool oldestFirst, const std::atomic<bool>* cancel = nullptr);
};
