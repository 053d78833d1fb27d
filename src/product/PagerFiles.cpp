#include "product/PagerFiles.h"

#include "platform/BoundedRead.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace {
// One serial setting of a ",P,D,S" line by its 1-based position; empty past
// the end or where the value itself was empty (the comma of the next one).
QString serialPart(const QString& line, int position)
{
    const QString value = line.mid(position - 1, 1);
    return value == QLatin1String(",") ? QString() : value;
}

QStringList padded(QStringList lines, int count)
{
    while (lines.size() < count)
        lines << QString();
    return lines;
}
} // namespace

PagerFiles::Personal PagerFiles::readUsers(const QStringList& fileLines)
{
    const QStringList lines = padded(fileLines, UsersLines);
    Personal p;
    p.id = lines.at(0);
    p.pagerNumber = lines.at(1);
    p.dialup = lines.at(2);
    p.speed = lines.at(4);
    p.parity = serialPart(lines.at(5), 2);
    p.dataBits = serialPart(lines.at(5), 4);
    p.stopBits = serialPart(lines.at(5), 6);
    p.charsPerPage = lines.at(6);
    return p;
}

PagerFiles::Groups PagerFiles::readGroups(const QStringList& fileLines)
{
    const QStringList lines = padded(fileLines, GroupCount * LinesPerGroup);
    Groups groups;
    for (int g = 0; g < GroupCount; ++g) {
        const QStringList block = lines.mid(g * LinesPerGroup, LinesPerGroup);
        Group& group = groups[g];
        group.dialup = block.at(1);
        group.speed = block.at(3);
        group.parity = serialPart(block.at(4), 2);
        group.dataBits = serialPart(block.at(4), 4);
        group.stopBits = serialPart(block.at(4), 6);
        group.chars = block.at(5);
        group.members = block.mid(6, MemberCount);
    }
    return groups;
}

std::optional<QStringList> PagerFiles::readLines(const QString& path)
{
    if (!TextFile::exists(path))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    const QByteArray bytes = BoundedRead::read(file, MaxFileBytes);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    return TextFile::splitLines(QString::fromLatin1(bytes));
}

QString PagerFiles::filePath(const QString& dir, const QString& name)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

bool PagerFiles::usablePin(const QString& pin)
{
    if (pin.isEmpty() || pin.size() > 16)
        return false;
    for (const QChar c : pin) {
        const char16_t u = c.unicode();
        const bool alnum =
            (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
        if (!alnum)
            return false;
    }
    return true;
}
