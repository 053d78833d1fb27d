#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The entries of one directory as the file system holds them: the raw bytes
// of each name (so that a name that is no valid text can still be addressed),
// what kind of entry it is (a link is not followed), and, for hidden entries,
// when it last changed. Sorted by name without regard to case.
class DirectoryEntries
{
public:
    enum class Kind
    {
        Regular,
        Link,
        Directory,
        Other // device, pipe, socket
    };
    struct Entry
    {
        QByteArray raw;
        QString name;           // decoded; only meaningful when decodable
        bool decodable = false; // the decoded name encodes back to the same bytes
        Kind kind = Kind::Other;
        qint64 modifiedSecs = 0; // since the epoch; hidden entries only
        bool hidden() const { return raw.startsWith('.'); }
    };

    // Empty when the directory cannot be read.
    static QList<Entry> list(const QString& directory);
};
