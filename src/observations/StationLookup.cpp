#include "observations/StationLookup.h"

#include "platform/ItemReader.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>

namespace {

// The table's text: UTF-8 when valid, else 8-bit text. Nothing when the file
// is missing, unreadable or absurdly large.
std::optional<QString> tableText(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > StationLookup::MaxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(StationLookup::MaxBytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// The first three fields of one line; missing ones are empty.
QStringList fields(const QString& line)
{
    ItemReader items(line);
    QStringList values;
    while (values.size() < 3 && !items.atEnd())
        values << items.next();
    while (values.size() < 3)
        values << QString();
    return values;
}

} // namespace

StationLookup::StationLookup(QString programDir) : m_programDir(std::move(programDir)) {}

QString StationLookup::search(const QString& entered) const
{
    const QString wanted = entered.toUpper();
    const std::optional<QString> text = tableText(m_programDir + FileName);
    if (!text)
        return NoTableText;
    if (wanted.isEmpty())
        return NotFoundText;
    for (const QString& line : TextFile::splitLines(*text)) {
        // Only lines holding the identifier at all are taken apart.
        if (!line.contains(wanted))
            continue;
        const QStringList f = fields(line);
        if (f.at(0) == wanted)
            return f.at(0) + QStringLiteral(" : ") + f.at(1) + QStringLiteral(", ") + f.at(2);
    }
    return NotFoundText;
}
