#include "notify/PagerConfig.h"

#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace {
const QString kUsers = QStringLiteral("users.ini");
const QString kGroups = QStringLiteral("groups.ini");

// One serial setting of a ",P,D,S" line by its 1-based position; empty past
// the end or where the value itself was empty (the comma of the next one).
QString charAt(const QString& text, int position)
{
    const QString value = text.mid(position - 1, 1);
    return value == QLatin1String(",") ? QString() : value;
}

// Values written one per line must not carry line ends of their own.
QString oneLine(const QString& value)
{
    QString line = value;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    return line;
}
} // namespace

QString PagerConfig::filePath(const QString& dir, const QString& name)
{
    if (dir.isEmpty() || dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

PagerConfig PagerConfig::load(const QString& abcPagerDir)
{
    if (abcPagerDir.isEmpty() || !QFileInfo(abcPagerDir).isDir())
        throw RuntimeError(ErrorNumber::PathNotFound, kUsers);
    PagerConfig config;
    config.loadUsers(filePath(abcPagerDir, kUsers));
    config.loadGroups(filePath(abcPagerDir, kGroups));
    return config;
}

void PagerConfig::loadUsers(const QString& path)
{
    if (!TextFile::exists(path))
        return;
    QStringList lines = TextFile::readLines(path);
    while (lines.size() < 7)
        lines << QString();
    personalId = lines.at(0);
    pagerNumber = lines.at(1);
    dialup = lines.at(2);
    speed = lines.at(4);
    parity = charAt(lines.at(5), 2);
    dataBits = charAt(lines.at(5), 4);
    stopBits = charAt(lines.at(5), 6);
    charsPerPage = lines.at(6);
}

void PagerConfig::loadGroups(const QString& path)
{
    groups = {};
    if (!TextFile::exists(path))
        return;
    QStringList lines = TextFile::readLines(path);
    while (lines.size() < GroupCount * LinesPerGroup)
        lines << QString();
    for (int g = 0; g < GroupCount; ++g) {
        const QStringList block = lines.mid(g * LinesPerGroup, LinesPerGroup);
        Group& group = groups[g];
        group.dialup = block.at(1);
        group.speed = block.at(3);
        group.parity = charAt(block.at(4), 2);
        group.dataBits = charAt(block.at(4), 4);
        group.stopBits = charAt(block.at(4), 6);
        group.chars = block.at(5);
        group.members = block.mid(6, MemberCount);
    }
}

QString PagerConfig::serialLine(const QString& parity, const QString& dataBits,
                                const QString& stopBits)
{
    const QChar comma = QLatin1Char(',');
    return comma + parity.left(1) + comma + dataBits.left(1) + comma + stopBits.left(1);
}

QStringList PagerConfig::usersLines() const
{
    return {oneLine(personalId),   oneLine(pagerNumber),
            oneLine(dialup),       QString(),
            oneLine(speed),        oneLine(serialLine(parity, dataBits, stopBits)),
            oneLine(charsPerPage), QString()};
}

QStringList PagerConfig::groupsLines() const
{
    QStringList lines;
    for (int g = 0; g < GroupCount; ++g) {
        const Group& group = groups[g];
        lines << QStringLiteral("GROUP") + QString::number(g + 1) << oneLine(group.dialup)
              << QString() << oneLine(group.speed)
              << oneLine(serialLine(group.parity, group.dataBits, group.stopBits))
              << oneLine(group.chars);
        for (int m = 0; m < MemberCount; ++m)
            lines << oneLine(group.members.value(m));
        lines << QString();
    }
    return lines;
}

void PagerConfig::saveUsers(const QString& abcPagerDir) const
{
    TextFile::writeAll(filePath(abcPagerDir, kUsers), TextFile::toCrLf(usersLines()));
}

void PagerConfig::saveGroups(const QString& abcPagerDir) const
{
    TextFile::writeAll(filePath(abcPagerDir, kGroups), TextFile::toCrLf(groupsLines()));
}

const PagerConfig::Group* PagerConfig::group(int g) const
{
    return g >= 1 && g <= GroupCount ? &groups[g - 1] : nullptr;
}

QList<int> PagerConfig::definedGroups() const
{
    QList<int> numbers;
    for (int g = 1; g <= GroupCount; ++g) {
        if (groups[g - 1].defined())
            numbers << g;
    }
    return numbers;
}
