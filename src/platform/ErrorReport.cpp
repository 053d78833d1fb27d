#include "platform/ErrorReport.h"

QString ErrorReport::format(const QString& caption, int number, const QString& text)
{
    return caption + QStringLiteral("\nError: ") + QString::number(number) +
           QStringLiteral("\nPossible Causes: ") + text;
}

QString ErrorReport::format(const QString& caption, const RuntimeError& error)
{
    return format(caption, error.code(), error.text());
}
