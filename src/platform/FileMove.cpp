#include "platform/FileMove.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr size_t kChunk = 1024 * 1024;

QString describe(const QByteArray& path)
{
    return QFile::decodeName(path);
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

bool exists(const QByteArray& path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

[[noreturn]] void fail(int error, const QByteArray& from, const QByteArray& to)
{
    const QString detail = describe(from) + (to.isEmpty() ? QString() : " -> " + describe(to)) +
                           QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
    if (!from.isEmpty() && !exists(from) && error == ENOENT)
        throw RuntimeError(ErrorNumber::FileNotFound, detail);
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw RuntimeError(ErrorNumber::PathNotFound, detail);
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        throw RuntimeError(ErrorNumber::PermissionDenied, detail);
    case ENOSPC:
    case EDQUOT:
        throw RuntimeError(ErrorNumber::DiskFull, detail);
    default:
        throw RuntimeError(ErrorNumber::PathFileAccess, detail);
    }
}

// A hidden file beside target, created new; -1 with errno set on failure.
int createTemp(const QByteArray& target, QByteArray* tempPath)
{
    const QByteArray dir = parentOf(target) + '/' + FileMove::TempPrefix.toLatin1();
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = dir + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        const int fd = ::open(tempPath->constData(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Finishes a written temporary file: on disk, then renamed over target.
void commit(int fd, const QByteArray& temp, const QByteArray& target, const QByteArray& source,
            bool flush = true)
{
    if (flush && ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(error, source, target);
    }
    ::close(fd);
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        fail(error, source, target);
    }
    if (flush)
        FileMove::syncDirectory(QFile::decodeName(parentOf(target)));
}
} // namespace

void FileMove::move(const QString& from, const QString& to)
{
    moveRaw(QFile::encodeName(from), QFile::encodeName(to));
}

void FileMove::moveRaw(const QByteArray& from, const QByteArray& to)
{
    if (::rename(from.constData(), to.constData()) == 0)
        return;
    const int error = errno;
    if (error != EXDEV)
        fail(error, from, to);
    copyThenRemove(from, to);
}

// Across file systems: the copy is complete on disk under its final name
// before the source is removed, so that no crash loses both.
void FileMove::copyThenRemove(const QByteArray& from, const QByteArray& to)
{
    struct stat info;
    if (::lstat(from.constData(), &info) != 0)
        fail(errno, from, to);
    if (!S_ISREG(info.st_mode))
        fail(EXDEV, from, to); // links and special files stay on their file system
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (in < 0)
        fail(errno, from, to);
    QByteArray temp;
    const int out = createTemp(to, &temp);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        fail(error, from, to);
    }
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), kChunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        if (n < 0 || !writeAll(out, buffer.constData(), size_t(n))) {
            const int error = errno;
            ::close(in);
            ::close(out);
            ::unlink(temp.constData());
            fail(error, from, to);
        }
    }
    ::close(in);
    ::fchmod(out, info.st_mode & 07777);
    commit(out, temp, to, from);
    if (::unlink(from.constData()) != 0 && errno != ENOENT)
        fail(errno, from, QByteArray());
}

void FileMove::writeWhole(const QString& path, const QByteArray& bytes, bool flush)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp;
    const int fd = createTemp(target, &temp);
    if (fd < 0)
        fail(errno, QByteArray(), target);
    if (!writeAll(fd, bytes.constData(), size_t(bytes.size()))) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.constData());
        fail(error, QByteArray(), target);
    }
    commit(fd, temp, target, QByteArray(), flush);
}

void FileMove::syncDirectory(const QString& directory)
{
    const int fd =
        ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return; // nothing to flush through
    ::fsync(fd);
    ::close(fd);
}
