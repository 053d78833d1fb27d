#include "product/ProductName.h"

std::optional<ProductName> ProductName::parse(QStringView fileName)
{
    if (fileName.isEmpty())
        return std::nullopt;
    ProductName p;
    p.m_received = fileName.toString().toUpper();
    p.m_at = p.m_received.indexOf(QLatin1Char('@'));
    return p;
}

QString ProductName::fileName() const
{
    return m_at < 0 ? m_received : m_received.left(m_at);
}

QString ProductName::extension() const
{
    const QString file = fileName();
    const qsizetype dot = file.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : file.mid(dot + 1);
}

QString ProductName::suffix() const
{
    return m_at < 0 ? QString() : m_received.mid(m_at + 1);
}

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
