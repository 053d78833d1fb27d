#pragma once

#include <QString>
#include <QStringList>

// Reading and writing of the program's text files. Lines end at CR, LF or
// CR LF; files are written with CR LF line ends.
class TextFile
{
public:
    // Splits text into lines at CR, LF or CR LF. A final line end does not
    // start another line.
    static QStringList splitLines(const QString& text);
    // Whole file as text (Latin-1: the broadcast is 8-bit ASCII). Throws
    // FileNotFound when missing, PathFileAccess when it cannot be read.
    static QString readAll(const QString& path);
    // At most the last maxBytes of the file, from the start of a line; sets
    // *cut when the beginning was left out. Throws as readAll does.
    static QString readTail(const QString& path, qint64 maxBytes, bool* cut);
    static QStringList readLines(const QString& path);
    // True when the file exists and holds at least one byte.
    static bool existsNonEmpty(const QString& path);
    static bool exists(const QString& path);
    // Writes the file whole (or not at all); throws PathFileAccess on failure.
    static void writeAll(const QString& path, const QString& text);
    // Appends one line followed by CR LF; throws PathFileAccess on failure.
    static void appendLine(const QString& path, const QString& line);
    static QString toCrLf(const QStringList& lines);
};
