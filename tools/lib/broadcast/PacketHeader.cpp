#include "PacketHeader.h"

#include <array>

namespace {

struct Token
{
    char tag[2];
    int start = -1; // first byte of the value
    int end = -1;   // one past the value
};

bool isTagStart(QByteArrayView h, int i)
{
    return i + 2 < h.size() && h[i] == '/' && h[i + 1] >= 'A' && h[i + 1] <= 'Z' &&
           h[i + 2] >= 'A' && h[i + 2] <= 'Z';
}

// Positions of the known tags; a value runs to the next tag or the line end.
std::array<Token, 6> findTokens(QByteArrayView h)
{
    std::array<Token, 6> tokens{
        {{{'P', 'F'}}, {{'P', 'N'}}, {{'P', 'T'}}, {{'C', 'S'}}, {{'F', 'D'}}, {{'D', 'L'}}}};
    Token* open = nullptr;
    int i = 0;
    for (; i < h.size(); ++i) {
        const char c = h[i];
        if (c == '\r' || c == '\n' || c == '\0')
            break;
        if (!isTagStart(h, i))
            continue;
        for (Token& t : tokens) {
            if (t.start < 0 && h[i + 1] == t.tag[0] && h[i + 2] == t.tag[1]) {
                if (open)
                    open->end = i;
                t.start = i + 3;
                open = &t;
                i += 2;
                break;
            }
        }
    }
    if (open)
        open->end = i;
    return tokens;
}

QByteArray value(QByteArrayView h, const Token& t)
{
    if (t.start < 0)
        return {};
    return h.sliced(t.start, t.end - t.start).toByteArray().simplified();
}

std::optional<int> number(const QByteArray& text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

bool isNameChar(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
           (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_') ||
           c == QLatin1Char('-');
}

} // namespace

bool PacketHeader::isSafeFileName(const QString& name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 1 || dot > 8 || name.startsWith(QLatin1Char('-')))
        return false;
    const qsizetype extLength = name.size() - dot - 1;
    if (extLength < 1 || extLength > 3)
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (i != dot && (!isNameChar(name.at(i)) || (i > dot && name.at(i) == QLatin1Char('-'))))
            return false;
    }
    return true;
}

QString PacketHeader::extension() const
{
    return fileName.section(QLatin1Char('.'), -1).toUpper();
}

std::optional<PacketHeader> PacketHeader::parse(QByteArrayView header)
{
    const auto tokens = findTokens(header);
    PacketHeader h;
    h.fileName = QString::fromLatin1(value(header, tokens[0]));
    const auto block = number(value(header, tokens[1]));
    const auto total = number(value(header, tokens[2]));
    const auto sum = number(value(header, tokens[3]));
    if (!isSafeFileName(h.fileName) || !block || !total || !sum)
        return std::nullopt;
    h.block = *block;
    h.total = *total;
    if (h.total < 1 || h.total > MaxBlocks || h.block < 1 || h.block > h.total || *sum < 0)
        return std::nullopt;
    h.checksum = static_cast<quint32>(*sum);
    h.dateText = QString::fromLatin1(value(header, tokens[4]));
    if (tokens[5].start >= 0) {
        const auto length = number(value(header, tokens[5]));
        if (!length || *length < 1 || *length > BlockSize)
            return std::nullopt;
        h.dataLength = *length;
    }
    return h;
}

QByteArray PacketHeader::toBytes() const
{
    QByteArray h = "/PF" + fileName.toLatin1();
    h += "/PN " + QByteArray::number(block).leftJustified(5, ' ');
    h += "/PT " + QByteArray::number(total).leftJustified(5, ' ');
    h += "/CS " + QByteArray::number(checksum).leftJustified(7, ' ');
    h += "/FD" + dateText.toLatin1();
    if (dataLength > 0)
        h += "/DL" + QByteArray::number(dataLength);
    h = h.leftJustified(Size - 2, ' ', true);
    return h + "\r\n";
}
