#include "RegexAlarmLoops.h"

#include "core/AlarmFile.h"

namespace {
QString wildcards(QString pattern, int first)
{
    for (int i = 0; i < first && i < pattern.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('?'))
            pattern[i] = QLatin1Char('.');
    }
    return pattern;
}
} // namespace

RegexAlarmLoops::RegexAlarmLoops(const AlarmFile& alarms)
{
    for (const AlarmDefinition& d : alarms.definitions()) {
        if (d.pattern.isEmpty())
            break; // the loops stop at the first empty pattern
        QString id = d.pattern;
        if (id.startsWith(QLatin1String("WAR")))
            id = QStringLiteral("(TOR|SVR|FFW)") + id.mid(3);
        id = wildcards(id, 9);
        Prepared p{id, QRegularExpression(id), QRegularExpression(wildcards(d.pattern, 8))};
        p.identifierExpression.optimize();
        p.nameExpression.optimize();
        m_patterns << p;
    }
}

void RegexAlarmLoops::matchIdentifier(const QString& identifier, const QString&)
{
    for (const Prepared& p : m_patterns) {
        ++m_tested;
        if (p.identifierPattern.size() < identifier.size())
            continue;
        if (p.identifierPattern == QLatin1String("......") &&
            identifier.contains(QLatin1String("SAORCM")))
            continue;
        if (p.identifierExpression.match(identifier).hasMatch())
            ++m_fired;
    }
}

void RegexAlarmLoops::matchProductName(const QString& productName, const QString&)
{
    for (const Prepared& p : m_patterns) {
        ++m_tested;
        if (p.nameExpression.match(productName).hasMatch())
            ++m_fired;
    }
}
