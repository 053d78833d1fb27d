#include "platform/RegExpMatcher.h"

#include "platform/RuntimeError.h"

void RegExpMatcher::setExpression(const QString& expression)
{
    m_expression = expression;
    m_regex.setPattern(expression);
}

bool RegExpMatcher::Match(const QString& text) const
{
    if (!m_regex.isValid())
        throw RuntimeError(ErrorNumber::InvalidExpression,
                           m_expression + QStringLiteral(": ") + m_regex.errorString());
    return m_regex.match(text).hasMatch();
}
