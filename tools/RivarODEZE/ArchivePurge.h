#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Removes old products from the store directories: filed text products
// (product keys and their numbered versions, web pages), images and hourly
// collections whose last change is older than the purge time. Only plain
// files directly in a store directory whose names the store itself gives are
// touched; symbolic links, subdirectories and any other file are left alone.
class ArchivePurge
{
public:
    enum class Store
    {
        Text,   // TextPath
        Images, // GIFPath
        Hourly  // SAPath
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

private:
    void purgeDirectory(const QString& path, const QList<Store>& stores, const QDateTime& cutoff,
                        bool dryRun, Report& report) const;

    QList<Directory> m_directories;
    double m_hours;
};
