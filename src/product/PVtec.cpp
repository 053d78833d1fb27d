#include "product/PVtec.h"

#include <QRegularExpression>

namespace {

const QRegularExpression& pattern()
{
    static const QRegularExpression re(QStringLiteral(
        "/([OTEX])\\.(NEW|CON|EXT|EXA|EXB|UPG|CAN|EXP|COR|ROU)\\.([A-Z]{4})\\.([A-Z]{2})\\."
        "([WAYSFONL])\\.(\\d{4})\\.(\\d{6}T\\d{4}Z)-(\\d{6}T\\d{4}Z)/"));
    return re;
}

// "050829T1651Z" as UTC; invalid for the zeros that mean "not given".
QDateTime vtecTime(const QString& text)
{
    // yyMMddThhmmZ; two-digit years are 20yy
    const auto number = [&](int at) { return text.mid(at, 2).toInt(); };
    const QDate date(2000 + number(0), number(2), number(4));
    const QTime time(number(7), number(9));
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}
} // namespace

std::optional<PVtec> PVtec::parse(QStringView text)
{
    qsizetype first = 0;
    while (first < text.size() && text.at(first).isSpace())
        ++first;
    const auto m = pattern().match(text.mid(first), 0, QRegularExpression::NormalMatch,
                                   QRegularExpression::AnchorAtOffsetMatchOption);
    if (!m.hasMatch())
        return std::nullopt;
    PVtec v;
    v.m_productClass = m.captured(1).at(0);
    v.m_action = m.captured(2);
    v.m_office = m.captured(3);
    v.m_phenomenon = m.captured(4);
    v.m_significance = m.captured(5).at(0);
    v.m_eventNumber = m.captured(6).toInt();
    v.m_begin = vtecTime(m.captured(7));
    v.m_end = vtecTime(m.captured(8));
    // An end that is given but not a valid time makes the string unusable.
    if ((!v.m_end.isValid() && m.captured(8) != QLatin1String("000000T0000Z")) ||
        (!v.m_begin.isValid() && m.captured(7) != QLatin1String("000000T0000Z")))
        return std::nullopt;
    return v;
}

QList<PVtec> PVtec::parseAll(QStringView text)
{
    QList<PVtec> found;
    auto it = pattern().globalMatch(text);
    while (it.hasNext() && found.size() < MaxPerProduct) {
        const auto m = it.next();
        if (auto v = parse(m.capturedView(0)))
            found.push_back(*v);
    }
    return found;
}

QString PVtec::eventKey() const
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(m_office, m_phenomenon, QString(m_significance))
        .arg(m_eventNumber, 4, 10, QLatin1Char('0'));
}

bool PVtec::endsEvent() const
{
    return m_action == QLatin1String("CAN") || m_action == QLatin1String("EXP") ||
           m_action == QLatin1String("UPG");
}
