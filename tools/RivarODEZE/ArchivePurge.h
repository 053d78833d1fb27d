#pragma once

#include <QDateTime>
#include <QFileInfo>
#include <QList>
#include <QString>
#include <QStringList>

// Removes old products from the store directories: older versions of filed
// text products (key.1, key.2 ...), dated pictures of images and dated
// copies of the hourly collections whose last change is older than the
// purge time. The newest of each product stays however old it is: the
// product key itself, the newest picture of each image name, the current
// hourly collections and web pages; the product lists, menus and requests
// name them, and many products are issued less often than the purge time.
// Only plain files directly in a store directory whose names are exactly the
// forms the store gives are touched; symbolic links, subdirectories and any
// other file are left alone.
class ArchivePurge
{
public:
    enum class Store
    {
        Text,   // TextPath
        Images, // GIFPath
        Hourly  // SAPath
    };
    // What a name is in a store directory.
    enum class Kind
    {
        Foreign, // not a name the store gives
        Newest,  // the newest of its product: never removed
        Older,   // an older version or a dated copy: removed when old
        Picture  // a dated picture: removed when old, except the newest of its image
    };
    struct Directory
    {
        Store store;
        QString path;
    };
    struct Report
    {
        QStringList removed; // (would be) removed, full paths
        QStringList failed;  // "path: reason"
        int kept = 0;        // store files not yet old enough
        int ignored = 0;     // links and files that are not the store's
        QStringList notes;   // directories skipped and why
    };

    ArchivePurge(QList<Directory> directories, double hours);

    Report run(const QDateTime& now, bool dryRun) const;

    // True when a file of that name is one the store keeps in that directory.
    static bool isStoreFile(Store store, const QString& name);
    static Kind kindOf(Store store, const QString& name);

private:
    struct Candidate
    {
        QFileInfo info;
        Kind kind;
    };
    static void keepNewestPictures(QList<Candidate>& candidates, Report& report);

    void purgeDirectory(const QString& path, const QList<Store>& stores, const QDateTime& cutoff,
                        bool dryRun, Report& report) const;

    QList<Directory> m_directories;
    double m_hours;
};
