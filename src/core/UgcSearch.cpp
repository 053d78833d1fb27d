#include "core/UgcSearch.h"

#include "core/Settings.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "product/UgcSegments.h"

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

bool mentions(const QStringList& lines, const QString& prefix)
{
    for (const QString& line : lines) {
        if (line.contains(prefix))
            return true;
    }
    return false;
}

// The lines from index from up to and including the line "$$" (or the end),
// each followed by CR LF. A summary group that has no "$$" of its own thus
// takes the detailed segment that follows it along.
QString textToDollars(const QStringList& lines, int from)
{
    QString text;
    for (int i = from; i < lines.size(); ++i) {
        text += lines.at(i) + LineEnd;
        if (lines.at(i).trimmed() == QLatin1String("$$"))
            break;
    }
    return text;
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
    // Most products never name the state: no need to read their code groups.
    if (!isCode(countyCode) || !mentions(lines, countyCode.left(3)))
        return false;
    const std::optional<UgcSegments> ugc = UgcSegments::parse(lines);
    if (!ugc)
        return false;
    for (const UgcSegment& segment : ugc->segments()) {
        if (!segment.covers(countyCode))
            continue;
        *segmentText = textToDollars(lines, segment.listLine(countyCode));
        return true;
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
