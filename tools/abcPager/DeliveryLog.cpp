#include "abcPager/DeliveryLog.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>

DeliveryLog::DeliveryLog(QString path) : m_path(std::move(path)) {}

void DeliveryLog::write(const QString& message)
{
    const QString line =
        DateTimeText::general(QDateTime::currentDateTime()) + QStringLiteral("  ") + message;
    QFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(line.toUtf8() + "\r\n");
    else
        std::fprintf(stderr, "abcPager: cannot write the log %s\n", qPrintable(m_path));
    std::fprintf(stderr, "abcPager: %s\n", message.toLocal8Bit().constData());
}
