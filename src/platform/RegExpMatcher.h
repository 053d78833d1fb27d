#pragma once

#include <QRegularExpression>
#include <QString>

// The pattern matcher used by the alarm loops: an expression and a search for
// it anywhere in a text ("." is any character, "(A|B)" either alternative).
//
// setExpression only stores the expression; an invalid one is reported by
// Match, which throws RuntimeError(InvalidExpression) naming the expression,
// so that the caller's handler sees the failure where the match is asked for.
class RegExpMatcher
{
public:
    void setExpression(const QString& expression);
    QString expression() const { return m_expression; }
    bool isValid() const { return m_regex.isValid(); }

    // True when the expression occurs anywhere in text.
    bool Match(const QString& text) const;

private:
    QString m_expression;
    QRegularExpression m_regex{QString()};
};
