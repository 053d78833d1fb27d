#include "ingest/IngestFiles.h"

#include "platform/FileMove.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace IngestFiles {

bool lstatMode(const QString& path, mode_t* mode)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    *mode = info.st_mode;
    return true;
}

bool isPresent(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode);
}

bool fileExists(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode) && S_ISREG(mode);
}

void removeIfPresent(const QString& path)
{
    if (isPresent(path) && !QFile::remove(path))
        throw RuntimeError(ErrorNumber::PermissionDenied, QStringLiteral("cannot delete ") + path);
}

void renameIfPresent(const QString& from, const QString& to)
{
    if (fileExists(from))
        FileMove::move(from, to);
}

void copyIfPresent(const QString& from, const QString& to)
{
    if (!fileExists(from))
        return;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot copy ") + from);
    FileMove::writeWhole(to, source.readAll(), false);
}

void rewriteSmallFile(const QString& path, const QByteArray& bytes)
{
    constexpr qsizetype InPlaceLimit = 512; // one sector
    if (bytes.size() > 0 && bytes.size() <= InPlaceLimit) {
        const int fd = ::open(QFile::encodeName(path).constData(),
                              O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd >= 0) {
            struct stat info;
            const bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                              info.st_nlink == 1 && info.st_size == bytes.size();
            const bool written =
                same && ::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) == bytes.size();
            ::close(fd);
            if (written)
                return;
        }
    }
    FileMove::writeWhole(path, bytes, false);
}

QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            c = QLatin1Char('_');
    }
    return out;
}

bool isPathComponent(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool isSafeFileName(const QString& text)
{
    if (!isPathComponent(text) || text.contains(QLatin1Char('\\')))
        return false;
    return printable(text) == text;
}

} // namespace IngestFiles
