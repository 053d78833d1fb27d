#pragma once

// File system conditions a test cannot make for real when it runs as root
// (which no permission stops): directories that behave like a read-only
// share, and a record of the calls that decide whether a move survives a
// crash. The C library's rename, unlink and fsync are wrapped for the whole
// test program, so include this header in exactly one source file of a test.

#include <QByteArray>
#include <QList>
#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <unistd.h>

namespace FileSystemFaults {
// Path prefixes under which nothing can be removed or renamed (EROFS).
inline QList<QByteArray> readOnly;
// "fsync" and "unlink <path>" in call order, while recording is on.
inline QList<QByteArray> calls;
inline bool recording = false;

inline bool isReadOnly(const char* path)
{
    for (const QByteArray& prefix : readOnly) {
        if (path && QByteArray(path).startsWith(prefix))
            return true;
    }
    return false;
}

template <typename F> F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Back to the real file system.
inline void reset()
{
    readOnly.clear();
    calls.clear();
    recording = false;
}
} // namespace FileSystemFaults

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto real = FileSystemFaults::next<int (*)(const char*, const char*)>("rename");
    if (FileSystemFaults::isReadOnly(from) || FileSystemFaults::isReadOnly(to)) {
        errno = EROFS;
        return -1;
    }
    return real(from, to);
}

extern "C" int unlink(const char* path) noexcept
{
    static const auto real = FileSystemFaults::next<int (*)(const char*)>("unlink");
    if (FileSystemFaults::recording)
        FileSystemFaults::calls << "unlink " + QByteArray(path);
    if (FileSystemFaults::isReadOnly(path)) {
        errno = EROFS;
        return -1;
    }
    return real(path);
}

extern "C" int fsync(int fd)
{
    static const auto real = FileSystemFaults::next<int (*)(int)>("fsync");
    if (FileSystemFaults::recording)
        FileSystemFaults::calls << "fsync";
    return real(fd);
}
