#pragma once

#include "map/WarningUpdates.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Reads the text store at start for the warnings still in effect: the files
// (stored versions included) whose names may hold warnings, changed within
// maxAgeDays, at most maxFiles of them (the newest), each up to maxBytes,
// returned oldest first with their updates read. Safe to run off the window
// thread: it touches nothing but the files.
class StoreReplay
{
public:
    struct Limits
    {
        int maxFiles = 5000;
        int maxAgeDays = 10;
        qint64 maxBytes = 256 * 1024;
    };
    struct Product
    {
        QString name;
        QString text;
        QDateTime received; // the file's modification time
        QList<WarningUpdate> updates;
    };

    static QList<Product> read(const QString& textDir, const QDateTime& now, const Limits& limits);
};
