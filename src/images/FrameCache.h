#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QString>
#include <optional>

// Decoded image files kept in memory, so that a loop, a repeated menu choice
// or a slide show does not read and decode its files again. An entry is
// valid while the file's size and modification time are unchanged. The least
// recently used entries go first once the byte budget is exceeded. Safe to
// use from several threads.
class FrameCache
{
public:
    static constexpr qint64 DefaultBudget = 192LL * 1024 * 1024;

    explicit FrameCache(qint64 budgetBytes = DefaultBudget);

    // The decoded picture of the file, when cached and the file is unchanged.
    std::optional<QImage> find(const QString& path, qint64 size, const QDateTime& modified);
    void insert(const QString& path, qint64 size, const QDateTime& modified, const QImage& image);
    void remove(const QString& path);
    void clear();

    qint64 bytes() const;
    int count() const;
    qint64 hits() const;
    qint64 misses() const;

private:
    struct Entry
    {
        qint64 size = 0;
        QDateTime modified;
        QImage image;
        quint64 used = 0;
    };
    void trim();

    mutable QMutex m_mutex;
    QHash<QString, Entry> m_entries;
    qint64 m_budget;
    qint64 m_bytes = 0;
    quint64 m_clock = 0;
    qint64 m_hits = 0;
    qint64 m_misses = 0;
};
