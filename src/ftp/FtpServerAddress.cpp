#include "ftp/FtpServerAddress.h"

namespace {
std::optional<int> portOf(const QString& text)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535 || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return port;
}
} // namespace

std::optional<FtpServerAddress> FtpServerAddress::parse(const QString& text)
{
    QString rest = text.trimmed();
    if (rest.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive))
        rest = rest.mid(6);
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    FtpServerAddress address;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        address.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(QLatin1Char(':')))
                return std::nullopt;
            const std::optional<int> port = portOf(after.mid(1));
            if (!port)
                return std::nullopt;
            address.port = *port;
        }
        if (!validV6(address.host))
            return std::nullopt;
        return address;
    }
    const qsizetype colons = rest.count(QLatin1Char(':'));
    if (colons > 1) {
        // An IPv6 address without brackets carries no port.
        address.host = rest;
        return validV6(rest) ? std::optional(address) : std::nullopt;
    }
    address.host = rest.section(QLatin1Char(':'), 0, 0);
    if (colons == 1) {
        const std::optional<int> port = portOf(rest.section(QLatin1Char(':'), 1));
        if (!port)
            return std::nullopt;
        address.port = *port;
    }
    if (!validHostName(address.host))
        return std::nullopt;
    return address;
}

bool FtpServerAddress::validHostName(const QString& host)
{
    if (host.isEmpty() || host.size() > 253 || host.startsWith(QLatin1Char('-')) ||
        host.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : host) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.') ||
                        c == QLatin1Char('-') || c == QLatin1Char('_');
        if (!ok)
            return false;
    }
    return true;
}

bool FtpServerAddress::validV6(const QString& host)
{
    if (host.size() < 2 || !host.contains(QLatin1Char(':')))
        return false;
    for (const QChar c : host) {
        const char16_t u = c.toLower().unicode();
        const bool ok =
            (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || u == u':' || u == u'.';
        if (!ok)
            return false;
    }
    return true;
}
