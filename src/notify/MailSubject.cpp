#include "notify/MailSubject.h"

#include "core/MenuDefinitions.h"
#include "platform/DateTimeText.h"

// Category codes are written one after another, three characters each; the
// first three codes count.
const MenuItem* MailSubject::itemFor(const QString& category, const QList<MenuItem>& items)
{
    if (category.size() < 3)
        return nullptr;
    const MenuItem* found = nullptr;
    for (const MenuItem& item : items) {
        const qsizetype at = item.categories.indexOf(category);
        if (at == 0 || at == 3 || at == 6)
            found = &item;
    }
    return found;
}

QString MailSubject::expand(const QString& name, Path path, const QList<MenuItem>& items,
                            const QDateTime& now)
{
    QString subject = name;
    if (const MenuItem* item = itemFor(name.left(3), items)) {
        const QString rest = path == Path::Bulletin ? name.mid(3, 5) : name.mid(3);
        subject = item->caption + QStringLiteral(" : ") + rest;
    }
    return subject + QStringLiteral("@ ") + DateTimeText::general(now);
}

QString MailSubject::fixUp(const QString& subject)
{
    const QString start = subject.left(3);
    if (start == QLatin1String("FEE") || start == QLatin1String("FED"))
        return QStringLiteral("FEEDBACK");
    if (start == QLatin1String("TES"))
        return QStringLiteral("TEST");
    return subject;
}

QString MailSubject::build(const QString& name, Path path, bool expandHeader,
                           const QList<MenuItem>& items, const QDateTime& now)
{
    return fixUp(expandHeader ? expand(name, path, items, now) : name);
}
