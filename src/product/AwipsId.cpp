#include "product/AwipsId.h"

std::optional<AwipsId> AwipsId::parse(QStringView line)
{
    const QStringView id = line.trimmed();
    if (id.size() < 4 || id.size() > 6)
        return std::nullopt;
    for (const QChar c : id) {
        const bool alnum = (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
        if (!alnum)
            return std::nullopt;
    }
    AwipsId a;
    a.m_category = id.left(3).toString();
    a.m_location = id.mid(3).toString();
    return a;
}
