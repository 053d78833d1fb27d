#include "platform/DateTimeText.h"

#include <QLocale>

QString DateTimeText::general(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("M/d/yyyy h:mm:ss AP"));
}
