#include "blat/BlatLog.h"

#include "platform/DateTimeText.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>

namespace {
// Line ends and other control characters inside a message (a subject or an
// address as given) would start a new, forged log entry: they become blanks.
QString oneLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return line;
}

QString stamp()
{
    return DateTimeText::general(QDateTime::currentDateTime()) + QStringLiteral("  ");
}
} // namespace

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
    const QString line = oneLine(message);
    append((stamp() + line).toUtf8() + "\r\n");
    if (!m_quiet)
        std::fprintf(stderr, "blat: %s\n", line.toLocal8Bit().constData());
}

void BlatLog::writeBlock(const QString& heading, const QString& text)
{
    QByteArray bytes = (stamp() + oneLine(heading)).toUtf8() + "\r\n";
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        bytes += "    " + oneLine(line).toUtf8() + "\r\n";
    append(bytes);
}
