#pragma once

#include <QString>

// Directory helpers: create every missing level of a path, and cut a path
// into its pieces.
class CreateDir
{
public:
    // Creates every missing directory level of pathDir and returns the number
    // of levels. Failures of single levels (exists, no rights) are ignored.
    static int CreateByPath(const QString& pathDir);
    // Returns the first piece of startStrg up to and including the first
    // delimiter and removes it from startStrg; without a delimiter the whole
    // text is the piece.
    static QString GetPart(QString& startStrg, QChar delimiter);
};
