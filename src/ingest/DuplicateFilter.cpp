#include "ingest/DuplicateFilter.h"

#include "platform/Clock.h"
#include "platform/Digest.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {
constexpr int kHeadingLines = 4;

// Where the line that starts at from ends (its LF, or the end).
qsizetype lineEnd(QByteArrayView product, qsizetype from)
{
    const qsizetype end = product.indexOf('\n', from);
    return end < 0 ? product.size() : end;
}

// A line as compared: CRs dropped, trailing blanks cut. The trailing run of
// CRs and blanks goes whole; CRs inside a line are rare.
void appendClean(QByteArray& out, QByteArrayView line)
{
    qsizetype size = line.size();
    while (size > 0 && (line[size - 1] == '\r' || line[size - 1] == ' ' || line[size - 1] == '\t'))
        --size;
    line = line.first(size);
    if (!line.contains('\r')) {
        out.append(line);
        return;
    }
    for (const char c : line)
        if (c != '\r')
            out.append(c);
}

bool isHeading(const QByteArray& line)
{
    const QList<QByteArray> parts = line.simplified().split(' ');
    if (parts.size() < 3 || parts.size() > 4 || parts[0].size() != 6 || parts[1].size() != 4 ||
        parts[2].size() != 6 || (parts.size() == 4 && parts[3].size() != 3))
        return false;
    const auto alnum = [](const QByteArray& s) {
        return std::all_of(s.begin(), s.end(),
                           [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
    };
    const auto digits = [](const QByteArray& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return alnum(parts[0]) && alnum(parts[1]) && digits(parts[2]) &&
           (parts.size() == 3 || alnum(parts[3]));
}

// The heading among the first lines: its cleaned text and the offset of its
// line; empty when there is none.
std::pair<QByteArray, qsizetype> findHeading(QByteArrayView product)
{
    qsizetype from = 0;
    for (int i = 0; i < kHeadingLines && from <= product.size(); ++i) {
        const qsizetype end = lineEnd(product, from);
        QByteArray line;
        appendClean(line, product.sliced(from, end - from));
        if (isHeading(line))
            return {line.simplified(), from};
        from = end + 1;
    }
    return {};
}

// The text from the heading's line on, line by line cleaned and joined with
// LF, without the end padding (blank lines and the end-of-text character).
QByteArray normalisedFrom(QByteArrayView product, qsizetype from)
{
    QByteArray text;
    text.reserve(product.size() - from);
    qsizetype kept = 0; // the end of the last line that is not padding
    for (bool first = true; from <= product.size(); first = false) {
        const qsizetype end = lineEnd(product, from);
        if (!first)
            text.append('\n');
        const qsizetype before = text.size();
        appendClean(text, product.sliced(from, end - from));
        if (text.size() > before && !(text.size() == before + 1 && text.back() == '\x03'))
            kept = text.size();
        from = end + 1;
    }
    text.truncate(kept);
    return text;
}
} // namespace

DuplicateFilter::DuplicateFilter(QString recordPath, QString logPath, const IClock& clock)
    : m_recordPath(std::move(recordPath)), m_logPath(std::move(logPath)), m_clock(clock)
{
    load();
}

DuplicateFilter::~DuplicateFilter()
{
    if (m_dirty)
        save();
}

QByteArray DuplicateFilter::identity(QByteArrayView product)
{
    const auto [wmo, at] = findHeading(product);
    if (wmo.isEmpty())
        return {};
    return wmo + ' ' + Digest::sha256Hex(normalisedFrom(product, at));
}

bool DuplicateFilter::seenBefore(const QByteArray& identity, const QString& name)
{
    if (identity.isEmpty())
        return false;
    const qint64 now = m_clock.now().toSecsSinceEpoch();
    forgetOld(now);
    const auto it = m_seen.constFind(identity);
    if (it == m_seen.cend() || !recent(it.value(), now))
        return false;
    ++m_dropped;
    logDrop(name, identity);
    return true;
}

void DuplicateFilter::remember(const QByteArray& identity)
{
    if (identity.isEmpty())
        return;
    const QDateTime now = m_clock.now();
    m_seen.insert(identity, now.toSecsSinceEpoch());
    m_dirty = true;
    if (!m_savedAt.isValid() || m_savedAt.msecsTo(now) >= SaveIntervalMs)
        save();
}

bool DuplicateFilter::recent(qint64 filedAt, qint64 now)
{
    // a clock set back makes entries from "the future" old too
    return now - filedAt < WindowSeconds && filedAt <= now + 60;
}

void DuplicateFilter::forgetOld(qint64 now)
{
    // lookups check the age themselves: the sweep only bounds the memory
    if (m_seen.size() < MaxRemembered && now >= m_sweptAt && now - m_sweptAt < SweepSeconds)
        return;
    m_sweptAt = now;
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = recent(it.value(), now) ? std::next(it) : m_seen.erase(it);
    if (m_seen.size() < MaxRemembered)
        return;
    QList<qint64> times = m_seen.values();
    std::sort(times.begin(), times.end());
    const qint64 cut = times.at(times.size() - MaxRemembered + 1);
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = it.value() < cut ? m_seen.erase(it) : std::next(it);
}

// Record lines: "SECONDS TTAAii CCCC DDHHMM[ BBB] DIGEST".
void DuplicateFilter::load()
{
    QFile file(m_recordPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 now = m_clock.now().toSecsSinceEpoch();
    int read = 0;
    while (!file.atEnd() && read++ < MaxRemembered) {
        const QByteArray line = file.readLine(256).trimmed();
        const qsizetype space = line.indexOf(' ');
        bool ok = false;
        const qint64 seconds = line.left(space).toLongLong(&ok);
        if (ok && space > 0 && now - seconds < WindowSeconds && seconds <= now + 60)
            m_seen.insert(line.mid(space + 1), seconds);
    }
}

void DuplicateFilter::save()
{
    m_savedAt = m_clock.now();
    QDir().mkpath(QFileInfo(m_recordPath).absolutePath());
    QSaveFile file(m_recordPath);
    if (!file.open(QIODevice::WriteOnly))
        return; // kept in memory; tried again with the next product
    for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it)
        file.write(QByteArray::number(it.value()) + ' ' + it.key() + '\n');
    m_dirty = !file.commit();
}

void DuplicateFilter::logDrop(const QString& name, const QByteArray& key)
{
    if (m_logPath.isEmpty())
        return;
    // kept open between drops: both feeds bring every product twice
    if (m_log.isOpen() && m_log.size() > MaxLogBytes) {
        m_log.close();
        QFile::remove(m_logPath + QStringLiteral(".1"));
        QFile::rename(m_logPath, m_logPath + QStringLiteral(".1"));
    }
    if (!m_log.isOpen()) {
        QDir().mkpath(QFileInfo(m_logPath).absolutePath());
        m_log.setFileName(m_logPath);
        if (!m_log.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
    }
    const QString line = m_clock.now().toString(Qt::ISODate) + QStringLiteral(" dropped ") + name +
                         QStringLiteral(" (filed before: ") +
                         QString::fromLatin1(key.left(key.lastIndexOf(' '))) +
                         QStringLiteral("), ") + QString::number(m_dropped) +
                         QStringLiteral(" dropped since start\n");
    m_log.write(line.toUtf8());
    m_log.flush();
}
