#include "alarms/AlarmPatternIndex.h"

#include "core/AlarmDefinition.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr int PrefixLength = 3;

// Every "?" is a wildcard for one character, however long the pattern: the
// editor stores a typed "." as "?", so a "?" is never meant as a quantifier.
QString replaceWildcards(const QString& pattern)
{
    QString result = pattern;
    result.replace(QLatin1Char('?'), QLatin1Char('.'));
    return result;
}

// Characters that stand for themselves in an expression.
bool isLiteral(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= 0x80)
        return false;
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
        return true;
    return QStringView(u" !\"%&',-/:;<=>@_`~").contains(c);
}

int inPlayCount(const QList<AlarmDefinition>& definitions, int alarmCount)
{
    const int limit = qMin<int>(alarmCount + 1, static_cast<int>(definitions.size()));
    int n = 0;
    while (n < limit && !definitions.at(n).pattern.isEmpty())
        ++n;
    return n;
}

} // namespace

QString AlarmPatternIndex::identifierPattern(const QString& pattern)
{
    // Wildcards first: the expansion of WAR is longer than three characters
    // and holds characters that must not be counted as pattern positions.
    QString result = replaceWildcards(pattern);
    if (result.startsWith(QLatin1String("WAR")))
        result = QStringLiteral("(TOR|SVR|FFW)") + result.mid(3);
    return result;
}

QString AlarmPatternIndex::productNamePattern(const QString& pattern)
{
    return replaceWildcards(pattern);
}

bool AlarmPatternIndex::isObservationPattern(const QString& pattern)
{
    return pattern.contains(QLatin1String("METAR")) || pattern.contains(QLatin1String("SPECI"));
}

bool AlarmPatternIndex::isFixedLength(const QString& expression)
{
    return std::all_of(expression.begin(), expression.end(),
                       [](QChar c) { return c == QLatin1Char('.') || isLiteral(c); });
}

// The first three characters as one number; false when there are fewer or
// one of them is not literal.
bool AlarmPatternIndex::prefixKey(const QString& text, quint64* key)
{
    if (text.size() < PrefixLength)
        return false;
    quint64 k = 0;
    for (int i = 0; i < PrefixLength; ++i) {
        const QChar c = text.at(i);
        if (!isLiteral(c))
            return false;
        k = (k << 16) | c.unicode();
    }
    *key = k;
    return true;
}

bool AlarmPatternIndex::unchanged(const QList<AlarmDefinition>& definitions, int inPlay) const
{
    if (m_builds == 0 || inPlay != size())
        return false;
    for (int i = 0; i < inPlay; ++i) {
        const QString& now = definitions.at(i).pattern;
        const QString& then = m_entries[i].pattern;
        if (now.constData() != then.constData() && now != then)
            return false;
    }
    return true;
}

void AlarmPatternIndex::refresh(const QList<AlarmDefinition>& definitions, int alarmCount)
{
    const int inPlay = inPlayCount(definitions, alarmCount);
    if (!unchanged(definitions, inPlay))
        build(definitions, inPlay);
}

void AlarmPatternIndex::build(const QList<AlarmDefinition>& definitions, int inPlay)
{
    ++m_builds;
    m_entries.clear();
    m_entries.resize(inPlay);
    m_byPrefix.clear();
    m_always.clear();
    for (int i = 0; i < inPlay; ++i) {
        Entry& e = m_entries[i];
        e.pattern = definitions.at(i).pattern;
        e.observation = isObservationPattern(e.pattern);
        const QString expression = identifierPattern(e.pattern);
        e.identifier.setExpression(expression);
        e.productName.setExpression(productNamePattern(e.pattern));
        e.fixedLength = isFixedLength(expression);
        quint64 key = 0;
        if (e.fixedLength && prefixKey(expression, &key))
            m_byPrefix[key].push_back(i);
        else
            m_always.push_back(i);
    }
}

std::optional<bool> AlarmPatternIndex::fixedLengthFires(int i, QStringView identifier) const
{
    const Entry& e = m_entries.at(i);
    if (!e.fixedLength)
        return std::nullopt;
    const QString& expression = e.identifier.expression();
    if (expression.size() != identifier.size())
        return false;
    for (qsizetype at = 0; at < expression.size(); ++at) {
        const QChar c = expression.at(at);
        // "." is any character but a line feed, as in the expression engine.
        if (c == QLatin1Char('.') ? identifier.at(at) == QLatin1Char('\n') : c != identifier.at(at))
            return false;
    }
    return true;
}

const std::vector<int>& AlarmPatternIndex::identifierCandidates(const QString& identifier)
{
    m_candidates.clear();
    quint64 key = 0;
    const auto filed = prefixKey(identifier, &key) ? m_byPrefix.constFind(key) : m_byPrefix.cend();
    if (filed == m_byPrefix.cend()) {
        m_candidates = m_always;
        return m_candidates;
    }
    std::merge(m_always.begin(), m_always.end(), filed->begin(), filed->end(),
               std::back_inserter(m_candidates));
    return m_candidates;
}
