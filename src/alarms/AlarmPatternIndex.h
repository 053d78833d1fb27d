#pragma once

#include "platform/RegExpMatcher.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

struct AlarmDefinition;

// The alarm definitions' patterns, each prepared and compiled once, and an
// index that narrows the definitions a text product has to be tested against.
//
// A text product's identifier fires a definition when the prepared pattern
// occurs in it and the pattern is at least as long as the identifier. For a
// pattern of literal characters and "." wildcards only, the occurrence has the
// pattern's length, so it can only be the whole identifier: such a pattern
// whose first three characters are literal is filed under them. Every other
// pattern (shorter, a wildcard or WAR group in front, any other expression
// construct) is tested for every product.
//
// The index follows the table by itself: refresh() compares the patterns with
// those it was built from (by shared data, so an unchanged table costs a
// pointer comparison per definition) and rebuilds only after a change.
class AlarmPatternIndex
{
public:
    // Takes the definitions up to the first empty pattern (and at most
    // alarmCount + 1 of them), as the matching loops do.
    void refresh(const QList<AlarmDefinition>& definitions, int alarmCount);

    // Definitions in play after the last refresh.
    int size() const { return static_cast<int>(m_entries.size()); }
    // The definitions, in ascending order, that can fire for the identifier.
    const std::vector<int>& identifierCandidates(const QString& identifier);

    const QString& pattern(int i) const { return m_entries.at(i).pattern; }
    bool isObservation(int i) const { return m_entries.at(i).observation; }
    // The prepared forms, compiled on first use and kept until the table changes.
    RegExpMatcher& identifierMatcher(int i) { return m_entries[i].identifier; }
    RegExpMatcher& productNameMatcher(int i) { return m_entries[i].productName; }
    // For a pattern of literal characters and "." wildcards: whether the
    // identifier fires it (the pattern occurs in it and is at least as long
    // as it, so it is the whole identifier), decided without the expression
    // engine. Nothing for any other pattern.
    std::optional<bool> fixedLengthFires(int i, QStringView identifier) const;
    // How often the index was rebuilt (a table change).
    int builds() const { return m_builds; }

    // Every "?" becomes ".", then "WAR" at the start becomes "(TOR|SVR|FFW)".
    static QString identifierPattern(const QString& pattern);
    // Every "?" becomes ".".
    static QString productNamePattern(const QString& pattern);
    static bool isObservationPattern(const QString& pattern);
    // Only literal characters and "." wildcards: a match has the pattern's length.
    static bool isFixedLength(const QString& expression);

private:
    struct Entry
    {
        QString pattern;
        bool observation = false;
        bool fixedLength = false; // of the identifier expression
        RegExpMatcher identifier;
        RegExpMatcher productName;
    };

    bool unchanged(const QList<AlarmDefinition>& definitions, int inPlay) const;
    void build(const QList<AlarmDefinition>& definitions, int inPlay);
    static bool prefixKey(const QString& text, quint64* key);

    std::vector<Entry> m_entries;
    QHash<quint64, std::vector<int>> m_byPrefix;
    std::vector<int> m_always;
    std::vector<int> m_candidates;
    int m_builds = 0;
};
