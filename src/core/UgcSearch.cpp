#include "core/UgcSearch.h"

#include "core/Settings.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QList>
#include <QPair>

namespace {

const QString LineEnd = QStringLiteral("\r\n");

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

// Where the code list of prefix starts in line: at the start of the line or
// right after a "-", followed by three digits or "ALL". Words of the text that
// merely contain the letters (MICHIGAN for MIC) are not code lists.
int listStart(const QString& line, const QString& prefix)
{
    qsizetype first = 0;
    while (first < line.size() && line.at(first).isSpace())
        ++first;
    for (qsizetype p = line.indexOf(prefix, first); p >= 0; p = line.indexOf(prefix, p + 1)) {
        const bool startsList = p == first || line.at(p - 1) == QLatin1Char('-');
        const QStringView next = QStringView(line).mid(p + prefix.size(), 3);
        if (startsList && (next == QLatin1String("ALL") || (next.size() == 3 && isDigits(next))))
            return static_cast<int>(p);
    }
    return -1;
}

// The numbers of one code list, collected line by line.
class CodeCollector
{
public:
    // Adds the tokens of one line (split at "-", the part after the last "-"
    // excepted). True when the list has ended: at the expiry time, at a token
    // that is not a number or range of this list (another state's list), or
    // at the token limit.
    bool addLine(const QString& part)
    {
        QStringList tokens = part.split(QLatin1Char('-'));
        tokens.removeLast();
        for (const QString& raw : tokens) {
            const QString token = raw.trimmed();
            if (m_tokens >= UgcSearch::MaxTokens)
                return true;
            if (token.size() == 6 && isDigits(token))
                return true;
            if (token.size() == 3 && isDigits(token)) {
                add(token.toInt(), token.toInt());
            } else if (token.size() == 7 && token.at(3) == QLatin1Char('>') &&
                       isDigits(QStringView(token).left(3)) &&
                       isDigits(QStringView(token).right(3))) {
                add(token.left(3).toInt(), token.right(3).toInt());
            } else {
                return true;
            }
            ++m_tokens;
        }
        return false;
    }

    bool contains(int number) const
    {
        for (const auto& [first, last] : m_ranges) {
            if (number >= first && number <= last)
                return true;
        }
        return false;
    }

private:
    void add(int first, int last)
    {
        last = qMin(last, first + (UgcSearch::MaxNumbers - m_numbers) - 1);
        if (first > last)
            return;
        m_ranges.append({first, last});
        m_numbers += last - first + 1;
    }

    QList<QPair<int, int>> m_ranges;
    int m_tokens = 0;
    int m_numbers = 0;
};

// Appends lines from index from up to and including the line "$$".
void appendToEnd(const QStringList& lines, int from, QString* text)
{
    for (int i = from; i < lines.size(); ++i) {
        *text += lines.at(i) + LineEnd;
        if (lines.at(i).trimmed() == QLatin1String("$$"))
            return;
    }
}

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

} // namespace

UgcSearch::UgcSearch(const Settings& settings) : m_settings(settings) {}

bool UgcSearch::isCode(const QString& code)
{
    return code.size() == 6 && code.at(0).isLetter() && code.at(1).isLetter() &&
           (code.at(2) == QLatin1Char('C') || code.at(2) == QLatin1Char('Z')) &&
           isDigits(QStringView(code).mid(3));
}

QStringList UgcSearch::productLines(const QString& text)
{
    QString cleaned = text;
    cleaned.replace(QStringLiteral("\r\r"), QStringLiteral("\r"));
    return TextFile::splitLines(cleaned);
}

bool UgcSearch::findInLines(const QString& countyCode, const QStringList& lines,
                            QString* segmentText)
{
    if (!isCode(countyCode))
        return false;
    const QString prefix = countyCode.left(3);
    const int number = countyCode.mid(3).toInt();
    int next = 0;
    while (next < lines.size()) {
        int start = next;
        int at = -1;
        for (; start < lines.size(); ++start) {
            at = listStart(lines.at(start), prefix);
            if (at >= 0)
                break;
        }
        if (at < 0)
            return false;
        const QString& line = lines.at(start);
        QString text = line + LineEnd;
        next = start + 1;
        const QString part = line.mid(at + prefix.size());
        bool wanted =
            part.startsWith(QLatin1String("ALL")) || part.startsWith(QLatin1String("000"));
        if (!wanted) {
            CodeCollector codes;
            bool ended = codes.addLine(part);
            while (!ended) {
                while (next < lines.size() && lines.at(next).trimmed().isEmpty())
                    ++next;
                if (next >= lines.size())
                    return false;
                text += lines.at(next) + LineEnd;
                ended = codes.addLine(lines.at(next++));
            }
            wanted = codes.contains(number);
        }
        if (wanted) {
            appendToEnd(lines, next, &text);
            *segmentText = text;
            return true;
        }
    }
    return false;
}

QString UgcSearch::resolveProduct(const QString& product) const
{
    QString name = product;
    if (name.size() == 8 && isPlainName(name)) {
        const QString receipt = m_settings.receiptDir() + name + QStringLiteral(".TXT");
        if (TextFile::exists(receipt))
            name = TextFile::readLines(receipt).value(0);
    }
    if (!isPlainName(name))
        throw RuntimeError(ErrorNumber::FileNotFound,
                           QStringLiteral("not a product name: ") + product);
    return name;
}

quint8 UgcSearch::FindUGC(const QString& countyCode, const QString& product)
{
    m_segmentText.clear();
    const QString key = resolveProduct(product);
    const QStringList lines = productLines(TextFile::readAll(m_settings.TextPath + key));
    QString segment;
    if (!findInLines(countyCode, lines, &segment))
        return 0;
    m_segmentText = segment;
    return 1;
}
