#include "blat/BlatLog.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>

BlatLog::BlatLog(QString path, bool quiet) : m_path(std::move(path)), m_quiet(quiet) {}

void BlatLog::append(const QByteArray& bytes)
{
    QFile file(m_path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append))
        file.write(bytes);
    else if (!m_quiet)
        std::fprintf(stderr, "blat: cannot write the log %s\n", qPrintable(m_path));
}

void BlatLog::write(const QString& message)
{
    const QString line =
        DateTimeText::general(QDateTime::currentDateTime()) + QStringLiteral("  ") + message;
    append(line.toUtf8() + "\r\n");
    if (!m_quiet)
        std::fprintf(stderr, "blat: %s\n", message.toLocal8Bit().constData());
}

void BlatLog::writeBlock(const QString& heading, const QString& text)
{
    QByteArray bytes =
        (DateTimeText::general(QDateTime::currentDateTime()) + QStringLiteral("  ") + heading)
            .toUtf8() +
        "\r\n";
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        bytes += "    " + line.toUtf8() + "\r\n";
    append(bytes);
}
