#include "blat/MailAddress.h"

#include <QRegularExpression>

QString MailAddress::bare(const QString& entry)
{
    QString text = entry.trimmed();
    if (text.size() >= 2 && text.startsWith(QLatin1Char('<')) && text.endsWith(QLatin1Char('>')))
        text = text.mid(1, text.size() - 2).trimmed();
    return text;
}

bool MailAddress::isValid(const QString& address)
{
    if (address.isEmpty() || address.size() > 254)
        return false;
    for (const QChar c : address) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u >= 0x7f)
            return false;
        if (QStringLiteral("<>()[]\\,;:\"").contains(c))
            return false;
    }
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || at == address.size() - 1)
        return false;
    static const QRegularExpression domain(
        QStringLiteral("^[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?"
                       "(?:\\.[A-Za-z0-9](?:[A-Za-z0-9-]*[A-Za-z0-9])?)*$"));
    return domain.match(address.mid(at + 1)).hasMatch() &&
           !address.left(at).contains(QLatin1Char('@'));
}

MailAddress::List MailAddress::parseList(const QString& text)
{
    List list;
    QString normalised = text;
    normalised.replace(QLatin1Char(';'), QLatin1Char(','));
    for (const QString& entry : normalised.split(QLatin1Char(','))) {
        if (entry.trimmed().isEmpty())
            continue;
        const QString address = bare(entry);
        if (!isValid(address)) {
            list.invalid << entry.trimmed();
            continue;
        }
        const bool seen = list.valid.contains(address, Qt::CaseInsensitive);
        if (!seen)
            list.valid << address;
    }
    return list;
}

QString MailAddress::domainOf(const QString& address)
{
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    return at < 0 ? QString() : address.mid(at + 1);
}
