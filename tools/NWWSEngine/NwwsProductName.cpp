#include "NwwsProductName.h"

#include "OfficeStates.h"

#include <QRegularExpression>

namespace {
// Letters and digits only, upper case, at most six: a hostile attribute can
// name no path.
QString identifier(const QString& text)
{
    QString r;
    for (const QChar c : text.trimmed().toUpper()) {
        if (r.size() == 6)
            break;
        if ((c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            r += c;
    }
    return r;
}
} // namespace

QString NwwsProductName::ugcState(QByteArrayView text)
{
    static const QRegularExpression ugc(QStringLiteral("^([A-Z]{2})[CZ]([0-9]{3}|ALL)[->]"),
                                        QRegularExpression::MultilineOption);
    const QString head = QString::fromLatin1(text.first(std::min(text.size(), SearchBytes)))
                             .remove(QLatin1Char('\r'));
    const QRegularExpressionMatch m = ugc.match(head);
    return m.hasMatch() ? m.captured(1) : QString();
}

QString NwwsProductName::stateOf(const QString& awipsId, const QString& station,
                                 QByteArrayView text) const
{
    const QString fromZones = ugcState(text);
    if (!fromZones.isEmpty())
        return fromZones;
    const QString stationState = m_offices.stateOfStation(station.trimmed());
    if (stationState.isEmpty())
        return QStringLiteral("US");
    const QString officeState = m_offices.stateOfOffice(identifier(awipsId).mid(3, 3));
    return officeState.isEmpty() ? stationState : officeState;
}

QString NwwsProductName::fileName(const QString& awipsId, const QString& station,
                                  const QString& ttaaii, QByteArrayView text) const
{
    QString id = identifier(awipsId);
    if (id.isEmpty())
        id = identifier(ttaaii);
    if (id.isEmpty())
        id = QStringLiteral("NONAME");
    return id + stateOf(awipsId, station, text) + QStringLiteral(".TXT");
}
