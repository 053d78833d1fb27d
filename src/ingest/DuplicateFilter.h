#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QString>

class IClock;

// One product, one filing: the same text product arriving from both feeds
// (broadcast and Weather Wire) is filed once. A product is known by its WMO
// heading (TTAAii CCCC DDHHMM and BBB) and a digest of its text from the
// heading on, with line ends, trailing blanks, end padding and leading
// framing set aside. What was filed in the last hour is remembered, across a
// restart too, in a small file written whole; every drop is counted and
// written to a log beside it.
class DuplicateFilter
{
public:
    static constexpr qint64 WindowSeconds = 3600;
    static constexpr int MaxRemembered = 20000;
    static constexpr qint64 MaxProductBytes = 16 * 1024 * 1024;
    static constexpr qint64 MaxLogBytes = 1024 * 1024;
    static constexpr qint64 SaveIntervalMs = 2000;
    static constexpr qint64 SweepSeconds = 60;

    // recordPath: the memory across restarts; logPath: one line per drop.
    DuplicateFilter(QString recordPath, QString logPath, const IClock& clock);
    ~DuplicateFilter();

    // The product's identity: heading and text digest; empty for a product
    // without a WMO heading (never a duplicate).
    static QByteArray identity(QByteArrayView product);
    // True (counted and logged) when a product of this identity was filed
    // in the last hour.
    bool seenBefore(const QByteArray& identity, const QString& name);
    // The product is filed: its copies are duplicates for an hour. Only a
    // filed product is remembered, so that one left in Data-In for a retry
    // is not taken for its own copy.
    void remember(const QByteArray& identity);
    qint64 dropped() const { return m_dropped; }
    // Writes the record now (it is written at most every SaveIntervalMs).
    void save();

private:
    void load();
    static bool recent(qint64 filedAt, qint64 now);
    void forgetOld(qint64 now);
    void logDrop(const QString& name, const QByteArray& key);

    QString m_recordPath;
    QString m_logPath;
    const IClock& m_clock;
    QHash<QByteArray, qint64> m_seen; // heading + digest -> seconds since the epoch
    qint64 m_dropped = 0;
    bool m_dirty = false;
    QDateTime m_savedAt;
    qint64 m_sweptAt = 0;
    QFile m_log;
};
