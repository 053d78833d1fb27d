#include "product/UgcSegments.h"

#include <QRegularExpression>
#include <QSet>

namespace {

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A line that starts a code group: SS + C/Z + three digits or ALL, then "-" or ">".
bool startsGroup(const QString& line)
{
    static const QRegularExpression re(QStringLiteral("^[A-Z]{2}[CZ](\\d{3}|ALL)[->]"));
    return re.match(line).hasMatch();
}

// Reads the tokens of a code group into segment; returns the index of the line
// that holds the expiry (the group's last), or -1 when the group never ends.
class GroupReader
{
public:
    explicit GroupReader(UgcSegment& segment) : m_segment(segment) {}

    // True when the group ended on this line.
    bool addLine(const QString& line)
    {
        const QStringList tokens = line.trimmed().split(QLatin1Char('-'));
        for (const QString& raw : tokens) {
            const QString token = raw.trimmed();
            if (token.isEmpty())
                continue;
            if (token.size() == 6 && isDigits(token)) {
                m_segment.expiryText = token;
                return true;
            }
            if (!addToken(token))
                return true; // not a code: the group is malformed, end it here
        }
        return false;
    }

private:
    bool addToken(const QString& token)
    {
        QString numbers = token;
        if (token.size() >= 6 && token.at(0).isLetter()) {
            m_prefix = token.left(3);
            numbers = token.mid(3);
        }
        if (m_prefix.size() != 3)
            return false;
        if (numbers == QLatin1String("ALL") || numbers == QLatin1String("000")) {
            add(m_prefix + QStringLiteral("ALL"));
            return true;
        }
        if (numbers.size() == 3 && isDigits(numbers)) {
            add(m_prefix + numbers);
            return true;
        }
        if (numbers.size() == 7 && numbers.at(3) == QLatin1Char('>') &&
            isDigits(QStringView(numbers).left(3)) && isDigits(QStringView(numbers).right(3))) {
            const int first = numbers.left(3).toInt();
            const int last = numbers.right(3).toInt();
            for (int n = first; n <= last && !full(); ++n)
                add(m_prefix + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
            return true;
        }
        return false;
    }

    bool full() const { return m_segment.codes.size() >= UgcSegments::MaxCodesPerSegment; }

    void add(const QString& code)
    {
        if (!full() && !m_seen.contains(code)) {
            m_seen.insert(code);
            m_segment.codes.push_back(code);
        }
    }

    UgcSegment& m_segment;
    QSet<QString> m_seen;
    QString m_prefix;
};

} // namespace

bool UgcSegment::covers(const QString& code) const
{
    if (code.size() != 6)
        return false;
    return codes.contains(code) || codes.contains(code.left(3) + QStringLiteral("ALL"));
}

QStringList UgcSegment::counties() const
{
    QStringList found;
    for (const QString& c : codes) {
        if (c.at(2) == QLatin1Char('C'))
            found.push_back(c);
    }
    return found;
}

QStringList UgcSegment::zones() const
{
    QStringList found;
    for (const QString& c : codes) {
        if (c.at(2) == QLatin1Char('Z'))
            found.push_back(c);
    }
    return found;
}

std::optional<UgcSegments> UgcSegments::parse(const QStringList& lines, const QDateTime& issued)
{
    UgcSegments result;
    for (int i = 0; i < lines.size() && result.m_segments.size() < MaxSegments; ++i) {
        if (!startsGroup(lines.at(i)))
            continue;
        UgcSegment segment;
        segment.firstLine = i;
        GroupReader reader(segment);
        int last = i;
        while (last < lines.size() && last - i < MaxGroupLines && !reader.addLine(lines.at(last)))
            ++last;
        if (segment.codes.isEmpty() || segment.expiryText.isEmpty())
            continue; // a line that looked like a group but is not one
        segment.expires = placeDayTime(segment.expiryText, issued);
        int end = last;
        while (end + 1 < lines.size() && !lines.at(end).startsWith(QLatin1String("$$")) &&
               !startsGroup(lines.at(end + 1)))
            ++end;
        segment.lastLine = end;
        result.m_segments.push_back(segment);
        i = end;
    }
    if (result.m_segments.isEmpty())
        return std::nullopt;
    return result;
}

QStringList UgcSegments::allCodes() const
{
    QStringList all;
    QSet<QString> seen;
    for (const UgcSegment& s : m_segments) {
        for (const QString& c : s.codes) {
            if (!seen.contains(c)) {
                seen.insert(c);
                all.push_back(c);
            }
        }
    }
    return all;
}

bool UgcSegments::covers(const QString& code) const
{
    for (const UgcSegment& s : m_segments) {
        if (s.covers(code))
            return true;
    }
    return false;
}

QDateTime UgcSegments::placeDayTime(const QString& ddhhmm, const QDateTime& issued)
{
    if (!issued.isValid() || ddhhmm.size() != 6 || !isDigits(ddhhmm))
        return {};
    const int day = ddhhmm.left(2).toInt();
    const QTime time(ddhhmm.mid(2, 2).toInt(), ddhhmm.mid(4, 2).toInt());
    if (!time.isValid() || day < 1 || day > 31)
        return {};
    const QDateTime from = issued.toUTC().addDays(-1);
    QDate month(from.date().year(), from.date().month(), 1);
    for (int step = 0; step < 3; ++step, month = month.addMonths(1)) {
        if (day > month.daysInMonth())
            continue;
        const QDateTime candidate(QDate(month.year(), month.month(), day), time, Qt::UTC);
        if (candidate >= from)
            return candidate;
    }
    return {};
}
