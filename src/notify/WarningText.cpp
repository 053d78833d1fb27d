#include "notify/WarningText.h"

namespace {
bool isBulletedWarning(const QString& category)
{
    const QString kind = category.left(3);
    return kind == QLatin1String("TOR") || kind == QLatin1String("SVR") ||
           kind == QLatin1String("FFW");
}
} // namespace

// From two characters after the first bullet on, with single blanks; the
// first bullet left becomes a blank, the second a colon, and the text ends
// before the third.
void WarningText::keepBullets(QString* text)
{
    const qsizetype bullet = text->indexOf(QLatin1Char('*'));
    if (bullet >= 0)
        *text = text->mid(bullet + 2);
    while (text->contains(QLatin1String("  ")))
        text->replace(QStringLiteral("  "), QStringLiteral(" "));
    const qsizetype first = text->indexOf(QLatin1Char('*'));
    if (first < 0)
        return;
    (*text)[first] = QLatin1Char(' ');
    const qsizetype second = text->indexOf(QLatin1Char('*'), first + 1);
    if (second < 0)
        return;
    (*text)[second] = QLatin1Char(':');
    const qsizetype third = text->indexOf(QLatin1Char('*'), second + 1);
    if (third >= 0)
        text->truncate(third);
}

QString WarningText::compress(const QString& text, const QString& category,
                              const QList<QPair<QString, QString>>& dictionary)
{
    QString result = text;
    if (isBulletedWarning(category))
        keepBullets(&result);
    for (const auto& [find, replacement] : dictionary) {
        if (find == QLatin1String("-END-"))
            break;
        if (!find.isEmpty())
            result.replace(find, replacement);
    }
    return result;
}
