#pragma once

#include <QString>

// Image files that cannot be decoded are moved out of the image directory
// into the quarantine directory (program directory + "track/bad/"), never
// deleted, so that nothing received is lost.
class ImageQuarantine
{
public:
    static inline const QString Folder = QStringLiteral("track/bad/");

    // Moves the file into directory under its own name, or its name with
    // ".1", ".2" ... when that is taken. Returns the new path; empty when the
    // file could not be moved (it then stays where it was).
    static QString move(const QString& path, const QString& directory);
};
