#include "NwwsProductText.h"

#include <QList>

namespace {
bool isUpperOrDigit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool allOf(QByteArrayView text, bool (*test)(char))
{
    for (char c : text)
        if (!test(c))
            return false;
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlankOrDigit(char c)
{
    return c == ' ' || isDigit(c);
}

// The lines of the text: a line ends at LF LF, or at a lone LF; CRs are
// dropped (the interface sends none, a relay may add them).
QList<QByteArray> splitLines(QByteArrayView body)
{
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char c = body[i];
        if (c == '\r')
            continue;
        if (c != '\n') {
            line += c;
            continue;
        }
        if (i + 1 < body.size() && body[i + 1] == '\n')
            ++i;
        lines << line;
        line.clear();
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// Index of the WMO heading among the first lines, which may only be blank or
// a sequence number; otherwise the first line with text.
qsizetype firstLine(const QList<QByteArray>& lines)
{
    qsizetype firstText = -1;
    for (qsizetype i = 0; i < lines.size() && i < NwwsProductText::MaxLeadingLines; ++i) {
        const QByteArray trimmed = lines[i].trimmed();
        if (NwwsProductText::isWmoHeading(trimmed))
            return i;
        if (firstText < 0 && !trimmed.isEmpty())
            firstText = i;
        if (!allOf(trimmed, &isBlankOrDigit))
            break;
    }
    return firstText < 0 ? 0 : firstText;
}
} // namespace

bool NwwsProductText::isWmoHeading(QByteArrayView line)
{
    const QList<QByteArrayView> parts = [&] {
        QList<QByteArrayView> r;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == ' ') {
                if (i > start)
                    r << line.sliced(start, i - start);
                start = i + 1;
            }
        }
        return r;
    }();
    if (parts.size() < 3 || parts.size() > 4)
        return false;
    const bool ttaaii = parts[0].size() == 6 && allOf(parts[0].first(4), &isUpperOrDigit) &&
                        allOf(parts[0].sliced(4), &isDigit);
    const bool cccc = parts[1].size() == 4 && allOf(parts[1], &isUpperOrDigit);
    const bool time = parts[2].size() == 6 && allOf(parts[2], &isDigit);
    const bool bbb =
        parts.size() == 3 || (parts[3].size() == 3 && allOf(parts[3], &isUpperOrDigit));
    return ttaaii && cccc && time && bbb;
}

QByteArray NwwsProductText::broadcastForm(QByteArrayView body)
{
    const QList<QByteArray> lines = splitLines(body);
    QByteArray out;
    out.reserve(body.size() + body.size() / 20 + 16);
    for (qsizetype i = firstLine(lines); i < lines.size(); ++i)
        out += lines[i] + "\r\r\n";
    return out;
}
