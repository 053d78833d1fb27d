#include "platform/ItemReader.h"

#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

namespace {
bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}
bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
} // namespace

ItemReader::ItemReader(QString text) : m_text(std::move(text)) {}

ItemReader ItemReader::fromFile(const QString& path)
{
    return ItemReader(TextFile::readAll(path));
}

void ItemReader::skipEmptyLines()
{
    // Skip blanks and line ends up to the next content.
    while (m_pos < m_text.size() && (isSpace(m_text.at(m_pos)) || isLineEnd(m_text.at(m_pos))))
        ++m_pos;
}

bool ItemReader::atEnd() const
{
    if (m_afterComma)
        return false; // the empty item after a trailing comma is still to come
    for (qsizetype i = m_pos; i < m_text.size(); ++i) {
        const QChar c = m_text.at(i);
        if (!isSpace(c) && !isLineEnd(c) && c != QChar(0x1a))
            return false;
    }
    return true;
}

QString ItemReader::next()
{
    // Only blanks before an item on the same line are skipped here; a line end
    // right after a comma ends an empty item.
    while (m_pos < m_text.size() && isSpace(m_text.at(m_pos)))
        ++m_pos;
    if (m_afterComma && (m_pos >= m_text.size() || isLineEnd(m_text.at(m_pos)))) {
        m_afterComma = false;
        consumeLineEnd();
        return QString();
    }
    m_afterComma = false;
    if (m_pos < m_text.size() && isLineEnd(m_text.at(m_pos)))
        skipEmptyLines();
    if (atEnd())
        throw RuntimeError(ErrorNumber::InputPastEnd);

    QString item;
    if (m_text.at(m_pos) == QLatin1Char('"')) {
        const qsizetype close = m_text.indexOf(QLatin1Char('"'), m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        item = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? m_text.size() : close + 1;
        // Anything after the closing quote up to the separator is dropped.
        while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char(',') &&
               !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char(',') &&
               !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
        item = m_text.mid(start, m_pos - start).trimmed();
    }
    // Consume the separator: a comma, or one line end (CR, LF or CR LF).
    if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char(',')) {
        ++m_pos;
        m_afterComma = true;
    } else {
        consumeLineEnd();
    }
    return item;
}

void ItemReader::consumeLineEnd()
{
    if (m_pos >= m_text.size())
        return;
    if (m_text.at(m_pos) == QLatin1Char('\r')) {
        ++m_pos;
        if (m_pos < m_text.size() && m_text.at(m_pos) == QLatin1Char('\n'))
            ++m_pos;
    } else if (m_text.at(m_pos) == QLatin1Char('\n')) {
        ++m_pos;
    }
}
