#pragma once

#include "core/IAlarmLoops.h"

#include <QList>
#include <QRegularExpression>
#include <QString>

class AlarmFile;

// The alarm loops for the benchmark: every definition's pattern prepared as
// the loops prepare it ("WAR" -> "(TOR|SVR|FFW)", "?" -> ".") and searched
// anywhere in the identifier or product name; a text product fires only when
// the pattern is at least as long as the identifier. Expressions are compiled
// once; firings are counted instead of dispatched.
class RegexAlarmLoops : public IAlarmLoops
{
public:
    explicit RegexAlarmLoops(const AlarmFile& alarms);

    void matchIdentifier(const QString& identifier, const QString& productKey) override;
    void matchProductName(const QString& productName, const QString& fullPathName) override;

    qint64 fired() const { return m_fired; }
    qint64 tested() const { return m_tested; }

private:
    struct Prepared
    {
        QString identifierPattern;
        QRegularExpression identifierExpression;
        QRegularExpression nameExpression;
    };

    QList<Prepared> m_patterns;
    qint64 m_fired = 0;
    qint64 m_tested = 0;
};
