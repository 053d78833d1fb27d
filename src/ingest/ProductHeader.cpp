#include "ingest/ProductHeader.h"

#include <algorithm>

#include <QIODevice>

namespace {
const QChar kStartOfHeading(0x01);

// Lines 2 to 5 of the file from index "from": the first one that is not empty.
QString firstNonEmpty(const QStringList& lines, int from)
{
    for (int i = from; i < from + 4 && i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty())
            return lines.at(i);
    }
    return QString();
}

bool isKnownArea(const QString& area)
{
    static const QStringList areas = {"PN", "AA", "XX", "US", "CA", "HW",
                                      "PZ", "AK", "NT", "VD", "VX", "OK"};
    return areas.contains(area);
}

bool isTestMessage(const QString& identifier)
{
    static const QStringList names = {"NWWS2K", "DYNMSG", "TSTMSG", "MONMSG"};
    return names.contains(identifier);
}

// True when the character's zero-based index lies in positions 1 to 3.
bool earlyIndex(qsizetype index)
{
    return index >= 0 && index <= 2;
}
} // namespace

ProductHeader ProductHeader::read(const QStringList& lines)
{
    if (lines.isEmpty()) {
        ProductHeader header;
        header.outcome = Outcome::Truncated;
        return header;
    }
    if (lines.first() == QString(kStartOfHeading))
        return readRaw(lines);

    ProductHeader header;
    header.firstLine = lines.first().trimmed();
    if (header.firstLine.size() > MaxHeadingLength) {
        header.outcome = Outcome::Corrupt;
        return header;
    }
    if (header.firstLine.size() > 9) {
        // The first line is the WMO heading, the identifier follows.
        header.splitHeading(header.firstLine);
        header.identifier = firstNonEmpty(lines, 1).trimmed();
        if (header.identifier.contains(QLatin1Char('/')))
            header.identifier.clear();
    } else {
        // A short sequence line ("000 ") first, then the heading.
        header.identifier = header.firstLine.mid(3);
        QString heading = firstNonEmpty(lines, 1).trimmed();
        if (heading.size() > MaxSecondHeadingLength)
            heading.clear();
        header.splitHeading(heading);
    }
    header.applyIdentifierRules();
    return header;
}

// Start of heading, then lines 2-4 (framing and sequence number), the heading
// on line 5 and the identifier on line 7.
ProductHeader ProductHeader::readRaw(const QStringList& lines)
{
    ProductHeader header;
    header.raw = true;
    header.firstLine = lines.first();
    if (lines.size() < MaxLines) {
        header.outcome = Outcome::Truncated;
        return header;
    }
    header.heading = lines.at(4);
    if (!header.takeWmoHeading(header.heading)) {
        const QStringList parts = header.heading.split(QLatin1Char(' '));
        header.ttaaii = parts.at(0);
        header.station = parts.size() > 1 ? parts.at(1) : QString();
        if (parts.size() > 2)
            header.time = parts.at(2).right(4);
    }
    header.identifier = lines.at(6).trimmed();
    return header;
}

bool ProductHeader::takeWmoHeading(const QString& line)
{
    m_wmo = WmoHeading::parse(line);
    if (!m_wmo)
        return false;
    ttaaii = m_wmo->ttaaii();
    station = m_wmo->station();
    time = m_wmo->hourMinute();
    return true;
}

void ProductHeader::splitHeading(const QString& line)
{
    heading = line;
    if (takeWmoHeading(line))
        return;
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() >= 3) {
        ttaaii = parts.at(0);
        station = parts.at(1);
        time = parts.at(2).right(4);
    } else {
        ttaaii = line;
        station.clear();
        time.clear();
    }
}

void ProductHeader::applyIdentifierRules()
{
    if (!isKnownArea(areaCode()))
        identifier.clear();
    if (ttaaii == QLatin1String("TTAA00"))
        ttaaii.clear();
    if (identifier == QLatin1String("CREX++"))
        identifier = ttaaii;
    if (isTestMessage(identifier)) {
        outcome = Outcome::TestFile;
        return;
    }
    if (earlyIndex(identifier.indexOf(QLatin1Char('.'))) ||
        earlyIndex(identifier.indexOf(QLatin1Char(' '))))
        identifier.clear();
}

QStringList ProductHeader::headLines(QIODevice& device, int maxLines)
{
    // Read in small pieces until the lines are there: a header is a few
    // hundred bytes, the bound a megabyte. One byte past the bound: an LF
    // that completes a CR at the bound.
    constexpr qint64 piece = 4096;
    QByteArray head;
    qsizetype lineEnds = 0;
    while (head.size() <= MaxHeaderBytes && lineEnds <= maxLines) {
        const QByteArray more = device.read(std::min(piece, MaxHeaderBytes + 1 - head.size()));
        if (more.isEmpty())
            break;
        lineEnds += more.count('\r') + more.count('\n');
        head += more;
    }
    return headLines(head, maxLines);
}

QStringList ProductHeader::headLines(QByteArrayView bytes, int maxLines)
{
    QStringList lines;
    const qsizetype limit = std::min<qsizetype>(bytes.size(), MaxHeaderBytes);
    qsizetype at = 0;
    while (lines.size() < maxLines && at < limit) {
        qsizetype end = at;
        while (end < limit && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines << QString::fromLatin1(
            bytes.sliced(at, std::min<qsizetype>(end - at, MaxLineLength)));
        if (end == limit)
            break; // the bound, or the end without a line end
        at = end + 1;
        if (bytes[end] == '\r' && at < bytes.size() && bytes[at] == '\n')
            ++at;
    }
    return lines;
}
