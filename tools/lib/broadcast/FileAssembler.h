#pragma once

#include "DecodedBlock.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// Puts files together from their blocks. Blocks of several files interleave;
// a file is keyed by its name and date stamp and is complete when every block
// arrived with a good checksum. Blocks that fail their checksum are rejected,
// and a file that gets no new block for a while is evicted. A block that
// arrives again with other bytes than those held for its number (a damaged
// block number passes the data checksum) makes the file untrusted: what was
// gathered is dropped, so that no file is put together from disagreeing
// copies. Block slots are taken as blocks arrive, and the bytes held for
// incomplete files are capped: beyond the cap the file idle longest goes.
// A completed file whose name, date stamp and contents were completed a short
// while ago (any version, not only the latest) is a repeat and is dropped;
// different contents (a server that sends no date stamp) make it a new
// version. Times are milliseconds of any steady clock.
class FileAssembler
{
public:
    struct CompletedFile
    {
        QString fileName;
        QString dateText;
        QByteArray bytes;  // padding trimmed
        QByteArray digest; // of name, date stamp and bytes: how repeats are known
    };
    enum class Result
    {
        Stored,    // a new block of an incomplete file
        Completed, // the last missing block: the file is handed out
        Duplicate, // a block already held
        Repeat,    // the last block of a repeat transmission: the file is dropped
        Rejected,  // checksum failed
        Disagreed, // other bytes than held for the block: the file's blocks are dropped
        Filler     // idle filler, dropped
    };
    struct Limits
    {
        qint64 evictAfterMs = 90 * 1000;
        qint64 rememberMs = 30 * 60 * 1000;
        int maxPartialFiles = 256;
        qint64 maxHeldBytes = 32 * 1024 * 1024; // blocks held for incomplete files
        int maxRemembered = 20000;              // completed files remembered
    };

    FileAssembler() = default;
    explicit FileAssembler(Limits limits) : m_limits(limits) {}

    Result add(const DecodedBlock& block, qint64 nowMs, CompletedFile* completed);
    // Drops incomplete files idle for longer than the limit and forgets old
    // completed keys; returns the names of the dropped files.
    QStringList evict(qint64 nowMs);
    // A file completed at the given time (before a restart, say): the same
    // file completed again within the memory time is a repeat.
    void remember(const QByteArray& digest, qint64 atMs);

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
        int total = 0;
        QHash<int, QByteArray> blocks; // block number -> bytes, as they arrive
        qint64 lastMs = 0;
    };
    static QString keyOf(const PacketHeader& header);
    void dropPartial(const QString& key);
    void makeRoom();
    void makeRoomForBytes(qint64 bytes, const QString& keep);
    void forgetOldest();
    CompletedFile finish(const Partial& p) const;

    Limits m_limits;
    QHash<QString, Partial> m_partial;
    QHash<QByteArray, qint64> m_completed; // digest -> completion time
    qint64 m_heldBytes = 0;
};
