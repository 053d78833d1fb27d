#pragma once

#include <QString>
#include <QStringList>

// The program directory: the per-user data directory where the definition
// files, tables, logs and the track directories live. Shipped default files
// that are missing there are copied in; the user's own files are never
// overwritten.
class ProgramDirectory
{
public:
    // $XDG_DATA_HOME/vantorel/ (default ~/.local/share/vantorel/), ending in "/".
    static QString path();
    // Directories that hold the shipped default files, best first.
    static QStringList shippedDataDirs();
    // Creates the directory and copies in every missing default file; returns
    // the names copied.
    static QStringList prepare(const QString& programDir,
                               const QStringList& sources = shippedDataDirs());
};
