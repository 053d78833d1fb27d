#pragma once

#include <QString>
#include <sys/types.h>

// File checks and moves of product filing. Entries are looked at with lstat:
// a link counts as present and is never followed.
namespace IngestFiles {

bool lstatMode(const QString& path, mode_t* mode);
// The entry is there, of whatever kind.
bool isPresent(const QString& path);
// A regular file is there.
bool fileExists(const QString& path);
// Throws RuntimeError(PermissionDenied) when a present entry stays.
void removeIfPresent(const QString& path);
// Renames when the file is there; the target is replaced.
void renameIfPresent(const QString& from, const QString& to);
// The file copy of the hourly collections: the target is replaced whole.
void copyIfPresent(const QString& from, const QString& to);
// Writes a small file whole, like FileMove::writeWhole without flush. When
// the file is there already as a regular file of exactly that size with no
// other name, it is overwritten in place by one write inside its first block
// (which a crash leaves old or new): no new file is made and no blocks are
// freed, which is most of the cost of rewriting a file.
void rewriteSmallFile(const QString& path, const QByteArray& bytes);

// Control characters replaced by "_", for messages.
QString printable(const QString& text);
// One name inside a directory: not empty, not "." or "..", no "/" or NUL.
bool isPathComponent(const QString& name);
// A path component without "\" or control characters.
bool isSafeFileName(const QString& text);

} // namespace IngestFiles
