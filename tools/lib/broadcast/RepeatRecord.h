#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A small file of the files completed lately (their digests and the time),
// so that a repeat transmission sent after the engine restarted is known.
// One "hex-digest utc-milliseconds" line per file; appended to as files are
// written and rewritten without the old lines now and then. Bounded in
// entries and in the bytes read.
class RepeatRecord
{
public:
    struct Entry
    {
        QByteArray digest;
        qint64 utcMs = 0;
    };
    static constexpr int MaxEntries = 20000;
    static constexpr qint64 MaxFileBytes = 4 * 1024 * 1024;

    explicit RepeatRecord(QString path, qint64 maxAgeMs);

    // The entries not older than the age limit; the file is rewritten with
    // only those.
    QList<Entry> load(qint64 nowUtcMs);
    // Adds one; false when the file could not be written.
    bool add(const QByteArray& digest, qint64 utcMs);
    QString path() const { return m_path; }

private:
    bool rewrite(qint64 nowUtcMs);

    QString m_path;
    qint64 m_maxAgeMs;
    QList<Entry> m_entries;
    int m_addedSinceRewrite = 0;
};
