#include "platform/DirectoryEntries.h"

#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
DirectoryEntries::Kind kindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return DirectoryEntries::Kind::Regular;
    if (S_ISLNK(mode))
        return DirectoryEntries::Kind::Link;
    if (S_ISDIR(mode))
        return DirectoryEntries::Kind::Directory;
    return DirectoryEntries::Kind::Other;
}
} // namespace

QList<DirectoryEntries::Entry> DirectoryEntries::list(const QString& directory)
{
    QList<Entry> entries;
    if (directory.isEmpty())
        return entries;
    DIR* dir = ::opendir(QFile::encodeName(directory).constData());
    if (!dir)
        return entries;
    const int dirFd = ::dirfd(dir);
    while (const dirent* d = ::readdir(dir)) {
        const QByteArray raw(d->d_name);
        if (raw == "." || raw == "..")
            continue;
        struct stat info;
        if (::fstatat(dirFd, d->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue; // gone meanwhile
        Entry e;
        e.raw = raw;
        e.name = QFile::decodeName(raw);
        e.decodable = QFile::encodeName(e.name) == raw;
        e.kind = kindOf(info.st_mode);
        e.modified = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec);
        entries << e;
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.raw < b.raw;
    });
    return entries;
}
