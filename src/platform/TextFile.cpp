#include "platform/TextFile.h"

#include "platform/RuntimeError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QStringList TextFile::splitLines(const QString& text)
{
    // Each line is cut out of the text whole; CR LF, a lone CR and a lone LF
    // each end a line, and text after the last line end is a line of its own.
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.sliced(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.sliced(start);
    return lines;
}

QString TextFile::readAll(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw RuntimeError(ErrorNumber::FileNotFound, path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    return QString::fromLatin1(file.readAll());
}

QString TextFile::readTail(const QString& path, qint64 maxBytes, bool* cut)
{
    QFile file(path);
    if (!file.exists())
        throw RuntimeError(ErrorNumber::FileNotFound, path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    *cut = file.size() > maxBytes;
    if (!*cut)
        return QString::fromLatin1(file.readAll());
    file.seek(file.size() - maxBytes);
    QByteArray bytes = file.read(maxBytes);
    // Start after the first line end, so that no line is shown cut.
    const qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd >= 0 && lineEnd + 1 < bytes.size())
        bytes.remove(0, lineEnd + 1);
    return QString::fromLatin1(bytes);
}

QStringList TextFile::readLines(const QString& path)
{
    return splitLines(readAll(path));
}

bool TextFile::exists(const QString& path)
{
    return QFileInfo(path).isFile();
}

bool TextFile::existsNonEmpty(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

void TextFile::writeAll(const QString& path, const QString& text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    file.write(text.toLatin1());
    if (!file.commit())
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
}

void TextFile::appendLine(const QString& path, const QString& line)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    const QByteArray bytes = line.toLatin1() + "\r\n";
    if (file.write(bytes) != bytes.size())
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
}

QString TextFile::toCrLf(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}
