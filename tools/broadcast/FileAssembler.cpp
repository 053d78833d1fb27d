#include "FileAssembler.h"

#include <QCryptographicHash>

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
    if (!block.checksumOk || block.data.size() != PacketHeader::BlockSize)
        return Result::Rejected;
    const QString key = keyOf(h);
    auto it = m_partial.find(key);
    if (it != m_partial.end() && it->blocks.size() != h.total) {
        dropPartial(key); // a different total: the old blocks belong to another file
        it = m_partial.end();
    }
    if (it == m_partial.end()) {
        makeRoom();
        Partial p;
        p.fileName = h.fileName;
        p.dateText = h.dateText;
        p.blocks.resize(h.total);
        it = m_partial.insert(key, p);
    }
    it->lastMs = nowMs;
    QByteArray& slot = it->blocks[h.block - 1];
    if (!slot.isNull())
        return Result::Duplicate;
    slot = block.data;
    m_heldBytes += slot.size();
    if (++it->received < h.total)
        return Result::Stored;
    CompletedFile file = finish(*it);
    dropPartial(key);
    const QByteArray digest = QCryptographicHash::hash(file.bytes, QCryptographicHash::Sha1);
    const auto done = m_completed.constFind(key);
    const bool repeat = done != m_completed.constEnd() && done->digest == digest;
    m_completed.insert(key, {nowMs, digest});
    if (repeat)
        return Result::Repeat;
    if (completed)
        *completed = std::move(file);
    return Result::Completed;
}

FileAssembler::CompletedFile FileAssembler::finish(const Partial& p) const
{
    QByteArray bytes;
    bytes.reserve(qsizetype(p.blocks.size()) * PacketHeader::BlockSize);
    for (const QByteArray& b : p.blocks)
        bytes += b;
    const int lastStart = (static_cast<int>(p.blocks.size()) - 1) * PacketHeader::BlockSize;
    return {p.fileName, p.dateText, trimmed(p.fileName, std::move(bytes), lastStart)};
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
        if (nowMs - it->ms > m_limits.rememberMs)
            it = m_completed.erase(it);
        else
            ++it;
    }
    return dropped;
}
