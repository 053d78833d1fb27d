#include "platform/DirectoryEntries.h"

#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
DirectoryEntries::Kind kindOfType(unsigned char type)
{
    switch (type) {
    case DT_REG:
        return DirectoryEntries::Kind::Regular;
    case DT_LNK:
        return DirectoryEntries::Kind::Link;
    case DT_DIR:
        return DirectoryEntries::Kind::Directory;
    default:
        return DirectoryEntries::Kind::Other;
    }
}

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
        Entry e;
        e.raw = raw;
        // The kind as the directory tells it; the entry itself is looked at
        // only when the file system does not say, or for the time of a
        // hidden file (one an engine is writing).
        if (d->d_type == DT_UNKNOWN || raw.startsWith('.')) {
            struct stat info;
            if (::fstatat(dirFd, d->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // gone meanwhile
            e.kind = kindOf(info.st_mode);
            e.modifiedSecs = info.st_mtim.tv_sec;
        } else {
            e.kind = kindOfType(d->d_type);
        }
        e.name = QFile::decodeName(raw);
        e.decodable = QFile::encodeName(e.name) == raw;
        entries << e;
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.name.compare(b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.raw < b.raw;
    });
    return entries;
}
