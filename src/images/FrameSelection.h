#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Which image files a viewer shows for a name prefix. Images are filed as
// NAME-MMddHHmm.GIF or .JPG: the 8-character name, "-", a time stamp without
// the year, the extension.
class FrameSelection
{
public:
    static constexpr int MaxFrames = 10;
    // Name, "-" and time stamp: names equal in these characters are one frame.
    static constexpr int StampedLength = 17;

    // The directory's files matching prefix + "*" in name order, leaving out a
    // name whose first 17 characters equal those of the name kept before it
    // (the GIF and JPG copies of one time stamp count once), then put in age
    // order (see ordered).
    static QStringList frameNames(const QString& directory, const QString& prefix,
                                  const QDateTime& now);
    // The frames a loop shows: the 10 newest at most, oldest first.
    static QStringList frameWindow(const QStringList& names);
    // The newest file matching prefix + "*", GIF and JPG alike; empty when none.
    static QString newestFile(const QString& directory, const QString& prefix,
                              const QDateTime& now);

    // Names ordered by image name, then by the time of their stamp, oldest
    // first. The stamp has no year: a stamp more than a day after now was
    // taken last year, so December's files come before January's at the turn
    // of the year. Names without a stamp keep name order before the stamped
    // ones of the same image name.
    static QStringList ordered(const QStringList& names, const QDateTime& now);
    static QStringList dropDuplicateStamps(const QStringList& names);
    // The time of a name's stamp relative to now; invalid when it has none.
    static QDateTime stampTime(const QString& name, const QDateTime& now);
};
