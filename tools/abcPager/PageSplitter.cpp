#include "abcPager/PageSplitter.h"

namespace {
constexpr int kBlockMax = 256;
// STX, CR after the pager number, CR after the message, ETX, checksum (3), CR.
constexpr int kBlockOverhead = 8;
constexpr int kDefaultPage = 80;
} // namespace

int PageSplitter::blockLimit(int pinLength)
{
    return kBlockMax - kBlockOverhead - pinLength;
}

int PageSplitter::pageSize(const QString& charsPerPage, int longestPin)
{
    bool ok = false;
    int size = charsPerPage.trimmed().toInt(&ok);
    if (!ok || size <= 0)
        size = kDefaultPage;
    return std::min(size, blockLimit(longestPin));
}

QByteArray PageSplitter::printable(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        char c = '?';
        if (u < 0x20 || u == 0x7f)
            c = ' ';
        else if (u < 0x7f)
            c = static_cast<char>(u);
        else if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            ++i; // one "?" for a character outside the basic plane
        if (c == ' ' && (out.isEmpty() || out.endsWith(' ')))
            continue;
        out += c;
    }
    while (out.endsWith(' '))
        out.chop(1);
    return out;
}

QList<QByteArray> PageSplitter::split(const QByteArray& text, int size)
{
    QList<QByteArray> pages;
    if (size <= 0)
        return pages;
    QByteArray rest = text.trimmed();
    while (rest.size() > size) {
        qsizetype cut = rest.lastIndexOf(' ', size);
        if (cut < size / 2) {
            pages << rest.left(size);
            rest = rest.mid(size).trimmed();
            continue;
        }
        pages << rest.left(cut).trimmed();
        rest = rest.mid(cut + 1).trimmed();
    }
    if (!rest.isEmpty())
        pages << rest;
    return pages;
}
