#include "ingest/StagedFiles.h"

#include "ingest/Unzipper.h"
#include "platform/DirectoryEntries.h"
#include "platform/FileMove.h"
#include "platform/RuntimeError.h"

#include <QFile>
#include <sys/stat.h>

namespace {
bool present(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

bool sameBytes(const QString& a, const QString& b)
{
    QFile fa(a);
    QFile fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

bool isTemporary(const DirectoryEntries::Entry& e)
{
    return e.kind == DirectoryEntries::Kind::Regular &&
           (e.raw.startsWith(FileMove::TempPrefix.toLatin1()) ||
            e.raw.startsWith(Unzipper::TempPrefix.toLatin1()));
}
} // namespace

QString StagedFiles::freeName(const QString& dataIn, const QString& name)
{
    QString candidate = name;
    for (int n = 1; present(dataIn + candidate); ++n)
        candidate = name + QLatin1Char('@') + QString::number(n);
    return candidate;
}

QStringList StagedFiles::recover(const QStringList& storeDirs, const QStringList& tempDirs,
                                 const QString& dataIn, QStringList* errors)
{
    QStringList restored;
    const QByteArray prefix = Prefix.toLatin1();
    for (const QString& dir : storeDirs) {
        for (const DirectoryEntries::Entry& e : DirectoryEntries::list(dir)) {
            if (!e.raw.startsWith(prefix) || !e.decodable ||
                e.kind != DirectoryEntries::Kind::Regular)
                continue;
            const QString staged = dir + e.name;
            const QString name = e.name.mid(Prefix.size());
            // Killed after a copy across file systems but before the source
            // went: the product is still in Data-In.
            if (present(dataIn + name) && sameBytes(staged, dataIn + name)) {
                QFile::remove(staged);
                continue;
            }
            const QString target = freeName(dataIn, name);
            try {
                FileMove::move(staged, dataIn + target);
                restored << target;
            } catch (const RuntimeError& error) {
                if (errors)
                    *errors << error.text();
            }
        }
    }
    for (const QString& dir : tempDirs) {
        for (const DirectoryEntries::Entry& e : DirectoryEntries::list(dir)) {
            if (isTemporary(e))
                QFile::remove(QFile::decodeName(QFile::encodeName(dir) + e.raw));
        }
    }
    return restored;
}
