#include "notify/EmailRecipients.h"

#include "notify/EmailBook.h"

#include <algorithm>

QStringList EmailRecipients::lines(const EmailBook& book)
{
    QStringList lines{QStringLiteral("Personal    * ") + book.address(0)};
    for (int i = 1; i <= book.count(); ++i)
        lines << book.name(i - 1).leftJustified(11) + QStringLiteral(" * ") + book.address(i);
    return lines;
}

QString EmailRecipients::build(const QString& typed, const QList<int>& selectedLines,
                               const EmailBook& book)
{
    QString recipients;
    if (!typed.isEmpty())
        recipients = typed + QLatin1Char(',');
    QList<int> ordered = selectedLines;
    std::sort(ordered.begin(), ordered.end());
    for (const int line : ordered) {
        if (line >= 0 && line <= book.count())
            recipients += book.address(line) + QLatin1Char(',');
    }
    return recipients;
}
