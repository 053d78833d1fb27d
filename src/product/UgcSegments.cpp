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

// Reads the tokens of a code group into segment, line by line, until the
// expiry time.
class GroupReader
{
public:
    explicit GroupReader(UgcSegment& segment) : m_segment(segment) {}

    // True when the group ended on this line (index line of the product).
    bool addLine(const QString& text, int line)
    {
        const QStringList tokens = text.trimmed().split(QLatin1Char('-'));
        for (const QString& raw : tokens) {
            const QString token = raw.trimmed();
            if (token.isEmpty())
                continue;
            if (token.size() == 6 && isDigits(token)) {
                m_segment.expiryText = token;
                return true;
            }
            if (!addToken(token, line))
                return true; // not a code: the group is malformed, end it here
        }
        return false;
    }

private:
    bool addToken(const QString& token, int line)
    {
        QString numbers = token;
        if (token.size() >= 6 && token.at(0).isLetter()) {
            startList(token.left(3), line);
            numbers = token.mid(3);
        }
        if (m_prefix.size() != 3)
            return false;
        if (numbers == QLatin1String("ALL") || numbers == QLatin1String("000")) {
            if (takeToken())
                add(m_prefix + QStringLiteral("ALL"));
            return true;
        }
        if (numbers.size() == 3 && isDigits(numbers)) {
            if (takeToken())
                addRange(numbers.toInt(), numbers.toInt());
            return true;
        }
        if (numbers.size() == 7 && numbers.at(3) == QLatin1Char('>') &&
            isDigits(QStringView(numbers).left(3)) && isDigits(QStringView(numbers).right(3))) {
            if (takeToken())
                addRange(numbers.left(3).toInt(), numbers.right(3).toInt());
            return true;
        }
        return false;
    }

    void startList(const QString& prefix, int line)
    {
        m_prefix = prefix;
        m_tokens = 0;
        m_numbers = 0;
        if (!m_segment.listLines.contains(prefix))
            m_segment.listLines.insert(prefix, line);
    }

    // False once the list has used its tokens: the rest are read, not used.
    bool takeToken() { return m_tokens++ < UgcSegments::MaxTokensPerList; }

    void addRange(int first, int last)
    {
        for (int n = first; n <= last && m_numbers < UgcSegments::MaxNumbersPerList; ++n) {
            ++m_numbers;
            add(m_prefix + QStringLiteral("%1").arg(n, 3, 10, QLatin1Char('0')));
        }
    }

    void add(const QString& code)
    {
        if (m_segment.codes.size() < UgcSegments::MaxCodesPerSegment && !m_seen.contains(code)) {
            m_seen.insert(code);
            m_segment.codes.push_back(code);
        }
    }

    UgcSegment& m_segment;
    QSet<QString> m_seen;
    QString m_prefix;
    int m_tokens = 0;
    int m_numbers = 0;
};

} // namespace

bool UgcSegment::covers(const QString& code) const
{
    if (code.size() != 6)
        return false;
    return codes.contains(code) || codes.contains(code.left(3) + QStringLiteral("ALL"));
}

int UgcSegment::listLine(const QString& code) const
{
    return listLines.value(code.left(3), firstLine);
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
        while (last < lines.size() && last - i < MaxGroupLines &&
               !reader.addLine(lines.at(last), last))
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
