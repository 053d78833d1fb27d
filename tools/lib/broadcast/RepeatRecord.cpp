#include "RepeatRecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

RepeatRecord::RepeatRecord(QString path, qint64 maxAgeMs)
    : m_path(std::move(path)), m_maxAgeMs(maxAgeMs)
{
}

QList<RepeatRecord::Entry> RepeatRecord::load(qint64 nowUtcMs)
{
    m_entries.clear();
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly)) {
        if (file.size() > MaxFileBytes)
            file.seek(file.size() - MaxFileBytes); // the newest lines; the first one cut is skipped
        while (!file.atEnd()) {
            const QList<QByteArray> parts = file.readLine(256).trimmed().split(' ');
            if (parts.size() != 2)
                continue;
            const QByteArray digest = QByteArray::fromHex(parts.at(0));
            bool ok = false;
            const qint64 ms = parts.at(1).toLongLong(&ok);
            if (ok && digest.size() == 20 && nowUtcMs - ms <= m_maxAgeMs && ms <= nowUtcMs)
                m_entries << Entry{digest, ms};
        }
    }
    if (m_entries.size() > MaxEntries)
        m_entries.remove(0, m_entries.size() - MaxEntries);
    rewrite(nowUtcMs);
    return m_entries;
}

bool RepeatRecord::add(const QByteArray& digest, qint64 utcMs)
{
    m_entries << Entry{digest, utcMs};
    if (++m_addedSinceRewrite > MaxEntries / 2 || m_entries.size() > MaxEntries)
        return rewrite(utcMs);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(digest.toHex() + ' ' + QByteArray::number(utcMs) + '\n') > 0;
}

bool RepeatRecord::rewrite(qint64 nowUtcMs)
{
    qsizetype keepFrom = 0;
    while (keepFrom < m_entries.size() && nowUtcMs - m_entries.at(keepFrom).utcMs > m_maxAgeMs)
        ++keepFrom;
    keepFrom = std::max<qsizetype>(keepFrom, m_entries.size() - MaxEntries);
    m_entries.remove(0, keepFrom);
    m_addedSinceRewrite = 0;
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Entry& e : std::as_const(m_entries))
        file.write(e.digest.toHex() + ' ' + QByteArray::number(e.utcMs) + '\n');
    return file.commit();
}
