#include "FileAssembler.h"

#include <QCryptographicHash>

#include <algorithm>

namespace {
const QByteArray kEndOfDirectory("PK\x05\x06", 4);
constexpr int kEndOfDirectorySize = 22;

qsizetype zipEnd(const QByteArray& bytes)
{
    for (qsizetype at = bytes.lastIndexOf(kEndOfDirectory); at >= 0;
         at = at > 0 ? bytes.lastIndexOf(kEndOfDirectory, at - 1) : -1) {
        if (at + kEndOfDirectorySize > bytes.size())
            continue;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
        const int commentLength = p[20] | (p[21] << 8);
        const qsizetype end = at + kEndOfDirectorySize + commentLength;
        if (end <= bytes.size())
            return end;
    }
    return bytes.size();
}
} // namespace

bool FileAssembler::isFiller(const QString& fileName)
{
    return fileName.compare(QLatin1String("FILLFILE.TXT"), Qt::CaseInsensitive) == 0;
}

QString FileAssembler::keyOf(const PacketHeader& header)
{
    return header.fileName.toUpper() + QLatin1Char('|') + header.dateText;
}

QByteArray FileAssembler::trimmed(const QString& fileName, QByteArray bytes, int lastBlockStart)
{
    const QString ext = fileName.section(QLatin1Char('.'), -1).toUpper();
    if (ext == QLatin1String("TXT")) {
        qsizetype end = bytes.size();
        while (end > lastBlockStart && bytes.at(end - 1) == '\0')
            --end;
        bytes.truncate(end);
    } else if (ext == QLatin1String("ZIS") || ext == QLatin1String("ZIP")) {
        bytes.truncate(zipEnd(bytes));
    }
    return bytes;
}

FileAssembler::Result FileAssembler::add(const DecodedBlock& block, qint64 nowMs,
                                         CompletedFile* completed)
{
    const PacketHeader& h = block.header;
    if (isFiller(h.fileName))
        return Result::Filler;
    if (!block.checksumOk || block.data.size() != PacketHeader::BlockSize || h.block < 1 ||
        h.block > h.total)
        return Result::Rejected;
    const QString key = keyOf(h);
    auto it = m_partial.find(key);
    if (it != m_partial.end() && it->total != h.total) {
        dropPartial(key); // a different total: the old blocks belong to another file
        it = m_partial.end();
    }
    if (it == m_partial.end()) {
        makeRoom();
        Partial p;
        p.fileName = h.fileName;
        p.dateText = h.dateText;
        p.total = h.total;
        it = m_partial.insert(key, p);
    }
    it->lastMs = nowMs;
    const auto held = it->blocks.constFind(h.block);
    if (held != it->blocks.constEnd()) {
        if (*held == block.data)
            return Result::Duplicate;
        dropPartial(key);
        return Result::Disagreed;
    }
    makeRoomForBytes(block.data.size(), key);
    it = m_partial.find(key);
    it->blocks.insert(h.block, block.data);
    m_heldBytes += block.data.size();
    if (it->blocks.size() < h.total)
        return Result::Stored;
    CompletedFile file = finish(*it);
    dropPartial(key);
    const bool repeat = m_completed.contains(file.digest);
    m_completed.insert(file.digest, nowMs);
    if (m_completed.size() > m_limits.maxRemembered)
        forgetOldest();
    if (repeat)
        return Result::Repeat;
    if (completed)
        *completed = std::move(file);
    return Result::Completed;
}

void FileAssembler::remember(const QByteArray& digest, qint64 atMs)
{
    m_completed.insert(digest, atMs);
    if (m_completed.size() > m_limits.maxRemembered)
        forgetOldest();
}

FileAssembler::CompletedFile FileAssembler::finish(const Partial& p) const
{
    QByteArray bytes;
    bytes.reserve(qsizetype(p.total) * PacketHeader::BlockSize);
    for (int n = 1; n <= p.total; ++n)
        bytes += p.blocks.value(n);
    const int lastStart = (p.total - 1) * PacketHeader::BlockSize;
    CompletedFile file{
        p.fileName, p.dateText, trimmed(p.fileName, std::move(bytes), lastStart), {}};
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(p.fileName.toUpper().toUtf8() + '|' + p.dateText.toUtf8() + '\0');
    hash.addData(file.bytes);
    file.digest = hash.result();
    return file;
}

void FileAssembler::dropPartial(const QString& key)
{
    const auto it = m_partial.constFind(key);
    if (it == m_partial.constEnd())
        return;
    for (const QByteArray& b : it->blocks)
        m_heldBytes -= b.size();
    m_partial.erase(it);
}

// Keeps the number of incomplete files bounded: the one idle longest goes.
void FileAssembler::makeRoom()
{
    while (m_partial.size() >= m_limits.maxPartialFiles && !m_partial.isEmpty()) {
        auto oldest = m_partial.constBegin();
        for (auto it = m_partial.constBegin(); it != m_partial.constEnd(); ++it) {
            if (it->lastMs < oldest->lastMs)
                oldest = it;
        }
        dropPartial(oldest.key());
    }
}

// Keeps the bytes held for incomplete files under the cap: other files go,
// the one idle longest first.
void FileAssembler::makeRoomForBytes(qint64 bytes, const QString& keep)
{
    while (m_heldBytes + bytes > m_limits.maxHeldBytes && m_partial.size() > 1) {
        auto oldest = m_partial.constEnd();
        for (auto it = m_partial.constBegin(); it != m_partial.constEnd(); ++it) {
            if (it.key() != keep && (oldest == m_partial.constEnd() || it->lastMs < oldest->lastMs))
                oldest = it;
        }
        dropPartial(oldest.key());
    }
}

// Too many completed files remembered: the older half is forgotten.
void FileAssembler::forgetOldest()
{
    QList<qint64> times = m_completed.values();
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    const qint64 median = times.at(times.size() / 2);
    for (auto it = m_completed.begin(); it != m_completed.end();)
        it = it.value() <= median ? m_completed.erase(it) : std::next(it);
}

QStringList FileAssembler::evict(qint64 nowMs)
{
    QStringList dropped;
    QStringList keys;
    for (auto it = m_partial.constBegin(); it != m_partial.constEnd(); ++it) {
        if (nowMs - it->lastMs > m_limits.evictAfterMs) {
            keys << it.key();
            dropped << it->fileName;
        }
    }
    for (const QString& key : keys)
        dropPartial(key);
    for (auto it = m_completed.begin(); it != m_completed.end();) {
        if (nowMs - it.value() > m_limits.rememberMs)
            it = m_completed.erase(it);
        else
            ++it;
    }
    return dropped;
}
