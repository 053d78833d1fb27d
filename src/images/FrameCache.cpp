#include "images/FrameCache.h"

#include <QMutexLocker>

FrameCache::FrameCache(qint64 budgetBytes) : m_budget(budgetBytes) {}

std::optional<QImage> FrameCache::find(const QString& path, qint64 size, const QDateTime& modified)
{
    QMutexLocker lock(&m_mutex);
    auto it = m_entries.find(path);
    if (it == m_entries.end() || it->size != size || it->modified != modified) {
        ++m_misses;
        return std::nullopt;
    }
    ++m_hits;
    it->used = ++m_clock;
    return it->image;
}

void FrameCache::insert(const QString& path, qint64 size, const QDateTime& modified,
                        const QImage& image)
{
    QMutexLocker lock(&m_mutex);
    auto it = m_entries.find(path);
    if (it != m_entries.end())
        m_bytes -= it->image.sizeInBytes();
    Entry& entry = m_entries[path];
    entry = {size, modified, image, ++m_clock};
    m_bytes += image.sizeInBytes();
    trim();
}

void FrameCache::remove(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    auto it = m_entries.find(path);
    if (it == m_entries.end())
        return;
    m_bytes -= it->image.sizeInBytes();
    m_entries.erase(it);
}

void FrameCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
    m_bytes = 0;
}

// Drops the least recently used entries until the budget holds; the newest
// entry stays even when it alone exceeds the budget.
void FrameCache::trim()
{
    while (m_bytes > m_budget && m_entries.size() > 1) {
        auto oldest = m_entries.begin();
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->used < oldest->used)
                oldest = it;
        }
        m_bytes -= oldest->image.sizeInBytes();
        m_entries.erase(oldest);
    }
}

qint64 FrameCache::bytes() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes;
}

int FrameCache::count() const
{
    QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_entries.size());
}

qint64 FrameCache::hits() const
{
    QMutexLocker lock(&m_mutex);
    return m_hits;
}

qint64 FrameCache::misses() const
{
    QMutexLocker lock(&m_mutex);
    return m_misses;
}
