#pragma once

// Shared pieces of the fuzz harnesses: the input as text the way the program
// reads its files, a private scratch directory, and a file written there.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace FuzzInput {

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Table and definition files are read as 8-bit text.
inline QString latin1(const uint8_t* data, size_t size)
{
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One scratch directory for the whole run (removed at exit), in memory where
// the system offers it: a file rewritten on a disk file system is flushed on
// every close, which would cost more than the parsing tried.
inline QString scratchTemplate()
{
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        return QStringLiteral("/dev/shm/vantorel-fuzz-XXXXXX");
    return QDir::tempPath() + QStringLiteral("/vantorel-fuzz-XXXXXX");
}

inline const QString& scratch()
{
    static QTemporaryDir dir(scratchTemplate());
    static const QString path = dir.path() + QLatin1Char('/');
    return path;
}

// Writes bytes as the whole file name in the scratch directory; its path.
inline QString write(const QString& name, const QByteArray& content)
{
    const QString path = scratch() + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return path;
}

// Splits the input at the first occurrence of separator: two files' worth.
inline QPair<QByteArray, QByteArray> split(const QByteArray& input, const QByteArray& separator)
{
    const qsizetype at = input.indexOf(separator);
    if (at < 0)
        return {input, QByteArray()};
    return {input.left(at), input.mid(at + separator.size())};
}

} // namespace FuzzInput
