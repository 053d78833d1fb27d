#pragma once

#include <QByteArray>
#include <QString>

// Moving and writing files so that a crash or a power loss never leaves a
// file half there: a move is a rename, or across file systems a copy that is
// flushed to disk before the source goes; a whole file is written beside its
// target and renamed over it. Paths are also taken as raw bytes, for names
// that are no valid text.
//
// Failures throw RuntimeError: FileNotFound (the source is gone),
// PathNotFound (the target directory is missing), PermissionDenied (no right
// to remove or create, a read-only file system, a busy file), DiskFull, and
// PathFileAccess for anything else.
class FileMove
{
public:
    // Prefix of the hidden temporary files these functions leave behind only
    // when the process dies while writing one.
    static inline const QString TempPrefix = QStringLiteral(".move-");

    // Moves from to to, replacing to. A link is moved as the link.
    static void move(const QString& from, const QString& to);
    static void moveRaw(const QByteArray& from, const QByteArray& to);
    // Writes bytes as the whole new content of path. Without flush the file
    // is still whole after a crash of the program, but not after a power loss.
    static void writeWhole(const QString& path, const QByteArray& bytes, bool flush = true);
    // Flushes a directory's entries (a finished rename) to disk.
    static void syncDirectory(const QString& directory);

private:
    static void copyThenRemove(const QByteArray& from, const QByteArray& to);
};
