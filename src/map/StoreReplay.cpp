#include "map/StoreReplay.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

QList<StoreReplay::Product> StoreReplay::read(const QString& textDir, const QDateTime& now,
                                              const Limits& limits)
{
    QList<Product> products;
    if (textDir.isEmpty())
        return products;
    const QDateTime oldest = now.addDays(-limits.maxAgeDays);
    QFileInfoList files;
    const QFileInfoList all = QDir(textDir).entryInfoList(QDir::Files, QDir::Time); // newest first
    for (const QFileInfo& info : all) {
        if (info.lastModified() < oldest || files.size() >= limits.maxFiles)
            break;
        if (WarningUpdates::mayCarry(info.fileName()))
            files.push_back(info);
    }
    std::reverse(files.begin(), files.end());
    for (const QFileInfo& info : files) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        Product p;
        p.name = info.fileName();
        p.text = QString::fromLatin1(file.read(limits.maxBytes));
        p.received = info.lastModified().toUTC();
        p.updates = WarningUpdates::read(p.text);
        if (!p.updates.isEmpty())
            products.push_back(std::move(p));
    }
    return products;
}
