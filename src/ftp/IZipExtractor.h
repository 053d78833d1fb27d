#pragma once

#include <QString>

// Extraction of a downloaded archive into a directory (every member, base
// names only, replacing files of the same name). Called on the download's
// worker thread, never on the window thread; the implementation reports its
// own status text where the program shows it.
class IZipExtractor
{
public:
    virtual ~IZipExtractor() = default;
    // Extracts FileN into FileP (ending in "/"); 0 on success, otherwise the
    // extraction's error number.
    virtual int Unzipit(const QString& FileN, const QString& FileP) = 0;
};
