#include "notify/PagerConfig.h"

#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFileInfo>

namespace {
const QString& kUsers = PagerFiles::UsersFile;
const QString& kGroups = PagerFiles::GroupsFile;

// Values written one per line must not carry line ends of their own.
QString oneLine(const QString& value)
{
    QString line = value;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    return line;
}
} // namespace

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
    const std::optional<QStringList> lines = PagerFiles::readLines(path);
    if (!lines)
        return;
    const PagerFiles::Personal p = PagerFiles::readUsers(*lines);
    personalId = p.id;
    pagerNumber = p.pagerNumber;
    dialup = p.dialup;
    speed = p.speed;
    parity = p.parity;
    dataBits = p.dataBits;
    stopBits = p.stopBits;
    charsPerPage = p.charsPerPage;
}

void PagerConfig::loadGroups(const QString& path)
{
    groups = {};
    if (const std::optional<QStringList> lines = PagerFiles::readLines(path))
        groups = PagerFiles::readGroups(*lines);
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
