#include "observations/MetarCollector.h"

#include <cstring>

namespace {

// Walks the lines of a text. The next CR and the next LF are remembered, so
// that every byte is looked at by memchr only once.
class LineCursor
{
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}

    std::size_t position() const { return m_pos; }

    // Moves to the start of the line that holds position at (at or after
    // the current position): the lines before it are passed over.
    void skipTo(std::size_t at)
    {
        std::size_t start = at;
        while (start > m_pos && m_text[start - 1] != '\r' && m_text[start - 1] != '\n')
            --start;
        m_pos = start;
    }

    bool next(std::string_view* line)
    {
        const std::size_t size = m_text.size();
        if (m_pos >= size)
            return false;
        const std::size_t end = std::min(find('\r', &m_nextCr), find('\n', &m_nextLf));
        *line = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < size) {
            const bool crlf =
                m_text[m_pos] == '\r' && m_pos + 1 < size && m_text[m_pos + 1] == '\n';
            m_pos += crlf ? 2 : 1;
        }
        return true;
    }

private:
    // Position of the next ch at or after m_pos, or the text's size.
    std::size_t find(char ch, std::size_t* cached) const
    {
        if (*cached != std::string_view::npos && *cached >= m_pos)
            return *cached;
        const void* hit = std::memchr(m_text.data() + m_pos, ch, m_text.size() - m_pos);
        *cached = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - m_text.data())
                      : m_text.size();
        return *cached;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_nextCr = std::string_view::npos;
    std::size_t m_nextLf = std::string_view::npos;
};

void append(QByteArray* result, std::string_view line)
{
    result->append(line.data(), static_cast<qsizetype>(line.size()));
}

} // namespace

QStringList MetarCollector::stationIdentifiers(const QString& stationList)
{
    QStringList pieces = stationList.toUpper().split(QLatin1Char(','));
    pieces.removeAll(QString());
    return pieces;
}

MetarCollector::MetarCollector(const QStringList& identifiers)
{
    for (const QString& id : identifiers) {
        // A character outside 8-bit text never occurs in a file read as such.
        bool latin1 = !id.isEmpty();
        for (const QChar c : id)
            latin1 = latin1 && c.unicode() < 256;
        if (latin1)
            m_identifiers.push_back(id.toLatin1().toStdString());
    }
}

bool MetarCollector::collect(std::string_view text, QByteArray* result) const
{
    // Lines without any identifier start nothing, so the search jumps from
    // one occurrence of an identifier to the next.
    std::vector<std::size_t> next;
    for (const std::string& id : m_identifiers)
        next.push_back(text.find(id));
    const auto nextHit = [&](std::size_t from) {
        std::size_t best = std::string_view::npos;
        for (std::size_t i = 0; i < next.size(); ++i) {
            if (next[i] != std::string_view::npos && next[i] < from)
                next[i] = text.find(m_identifiers[i], from);
            best = std::min(best, next[i]);
        }
        return best;
    };
    LineCursor lines(text);
    std::string_view line;
    for (;;) {
        const std::size_t hit = nextHit(lines.position());
        if (hit == std::string_view::npos)
            return true;
        lines.skipTo(hit);
        if (!lines.next(&line))
            return true;
        for (const std::string& id : m_identifiers) {
            if (line.find(id) == std::string_view::npos)
                continue;
            // The gathered text ends with "=" exactly when its last non-empty
            // piece does; empty lines add nothing.
            append(result, line);
            char last = line.empty() ? '\0' : line.back();
            while (last != '=') {
                if (!lines.next(&line)) {
                    result->append("\r\n");
                    return false;
                }
                append(result, line);
                if (!line.empty())
                    last = line.back();
            }
            result->append("\r\n");
        }
    }
}
