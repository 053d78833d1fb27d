#pragma once

#include "DecodedBlock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Puts files together from their blocks. Blocks of several files interleave;
// a file is keyed by its name and date stamp and is complete when every block
// arrived with a good checksum. Blocks that fail their checksum are rejected,
// and a file that gets no new block for a while is evicted. A file completed
// again under a key completed a short while ago is the repeat transmission
// and is dropped when its contents are the same; different contents (a
// server that sends no date stamp) make it a new version. Times are
// milliseconds of any steady clock.
class FileAssembler
{
public:
    struct CompletedFile
    {
        QString fileName;
        QString dateText;
        QByteArray bytes; // padding trimmed
    };
    enum class Result
    {
        Stored,    // a new block of an incomplete file
        Completed, // the last missing block: the file is handed out
        Duplicate, // a block already held
        Repeat,    // the last block of a repeat transmission: the file is dropped
        Rejected,  // checksum failed
        Filler     // idle filler, dropped
    };
    struct Limits
    {
        qint64 evictAfterMs = 90 * 1000;
        qint64 rememberMs = 30 * 60 * 1000;
        int maxPartialFiles = 256;
    };

    FileAssembler() = default;
    explicit FileAssembler(Limits limits) : m_limits(limits) {}

    Result add(const DecodedBlock& block, qint64 nowMs, CompletedFile* completed);
    // Drops incomplete files idle for longer than the limit and forgets old
    // completed keys; returns the names of the dropped files.
    QStringList evict(qint64 nowMs);

    int partialCount() const { return static_cast<int>(m_partial.size()); }
    qint64 heldBytes() const { return m_heldBytes; }

    // The file bytes without the padding of the last block: trailing 0x00 of
    // a text file, anything after the end-of-central-directory record of a
    // compressed (.ZIS) file. Other kinds are kept as received.
    static QByteArray trimmed(const QString& fileName, QByteArray bytes, int lastBlockStart);
    static bool isFiller(const QString& fileName);

private:
    struct Partial
    {
        QString fileName;
        QString dateText;
        QList<QByteArray> blocks;
        int received = 0;
        qint64 lastMs = 0;
    };
    static QString keyOf(const PacketHeader& header);
    void dropPartial(const QString& key);
    void makeRoom();
    CompletedFile finish(const Partial& p) const;

    Limits m_limits;
    QHash<QString, Partial> m_partial;
    struct Done
    {
        qint64 ms = 0;
        QByteArray digest;
    };
    QHash<QString, Done> m_completed; // key -> completion time and contents digest
    qint64 m_heldBytes = 0;
};
