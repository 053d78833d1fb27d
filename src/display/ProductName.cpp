#include "display/ProductName.h"

bool ProductName::isValid(const QString& name)
{
    if (name.isEmpty())
        return false;
    bool onlyDots = true;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'.' ||
                             u == u'~' || u == u' ' || u == u'?' || u == u'*';
        if (!allowed)
            return false;
        if (u != u'.')
            onlyDots = false;
    }
    return !onlyDots;
}

QString ProductName::invalidMessage(const QString& name)
{
    return QStringLiteral("Invalid product name: \"%1\"\nA product name may hold only the "
                          "letters A-Z, the digits 0-9, \".\", \"~\", blanks, \"?\" and \"*\".")
        .arg(name);
}
