#include "abcPager/PagerTargets.h"

#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QRegularExpression>

namespace {
QStringList padded(QStringList lines, int count)
{
    while (lines.size() < count)
        lines << QString();
    return lines;
}
} // namespace

bool PagerTargets::load(const QString& dir, QString* error)
{
    const QString users = QDir(dir).filePath(QStringLiteral("users.ini"));
    const QString groups = QDir(dir).filePath(QStringLiteral("groups.ini"));
    try {
        if (TextFile::exists(users))
            setUsersLines(TextFile::readLines(users));
        if (TextFile::exists(groups))
            setGroupsLines(TextFile::readLines(groups));
    } catch (const RuntimeError& failure) {
        *error = QStringLiteral("cannot read the pager files in %1: %2").arg(dir, failure.text());
        return false;
    }
    if (!m_haveUsers && !m_haveGroups) {
        *error = QStringLiteral("no users.ini or groups.ini in %1 (set them up with Add-ins > "
                                "Paging Setup)")
                     .arg(dir);
        return false;
    }
    return true;
}

void PagerTargets::setUsersLines(const QStringList& lines)
{
    m_users = padded(lines, 7);
    m_haveUsers = true;
}

void PagerTargets::setGroupsLines(const QStringList& lines)
{
    m_groups = padded(lines, GroupCount * LinesPerGroup);
    m_haveGroups = true;
}

bool PagerTargets::usablePin(const QString& pin)
{
    static const QRegularExpression shape(QStringLiteral("^[A-Za-z0-9]{1,16}$"));
    return shape.match(pin).hasMatch();
}

QString PagerTargets::serialPart(const QString& line, int position)
{
    const QString value = line.mid(position - 1, 1);
    return value == QLatin1String(",") ? QString() : value;
}

std::optional<PagerTargets::Target> PagerTargets::resolve(const QString& recipient,
                                                          QString* error) const
{
    static const QRegularExpression groupName(QStringLiteral("^!GROUP(\\d+)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QString name = recipient.trimmed();
    const auto match = groupName.match(name);
    if (match.hasMatch())
        return group(name, match.captured(1).toInt(), error);
    return personal(name, error);
}

std::optional<PagerTargets::Target> PagerTargets::personal(const QString& recipient,
                                                           QString* error) const
{
    const QString id = m_users.value(0).trimmed();
    if (!m_haveUsers || id.isEmpty() || id.compare(recipient, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("unknown recipient \"%1\": neither the personal pager ID in "
                                "users.ini nor !GROUP1 to !GROUP10")
                     .arg(recipient);
        return std::nullopt;
    }
    Target target;
    target.recipient = recipient;
    target.dialup = m_users.at(2).trimmed();
    target.speed = m_users.at(4).trimmed();
    target.parity = serialPart(m_users.at(5), 2);
    target.dataBits = serialPart(m_users.at(5), 4);
    target.stopBits = serialPart(m_users.at(5), 6);
    target.chars = m_users.at(6).trimmed();
    const QString pin = m_users.at(1).trimmed();
    (usablePin(pin) ? target.pins : target.unusable) << pin;
    return target;
}

std::optional<PagerTargets::Target> PagerTargets::group(const QString& recipient, int g,
                                                        QString* error) const
{
    if (g < 1 || g > GroupCount) {
        *error = QStringLiteral("there is no group %1; groups are 1 to %2").arg(g).arg(GroupCount);
        return std::nullopt;
    }
    const QStringList block = m_groups.mid((g - 1) * LinesPerGroup, LinesPerGroup);
    if (!m_haveGroups) {
        *error = QStringLiteral("no groups.ini for group %1").arg(g);
        return std::nullopt;
    }
    if (block.value(5).trimmed().isEmpty()) {
        *error = QStringLiteral("group %1 is not defined in groups.ini").arg(g);
        return std::nullopt;
    }
    Target target;
    target.recipient = recipient;
    target.dialup = block.at(1).trimmed();
    target.speed = block.at(3).trimmed();
    target.parity = serialPart(block.at(4), 2);
    target.dataBits = serialPart(block.at(4), 4);
    target.stopBits = serialPart(block.at(4), 6);
    target.chars = block.at(5).trimmed();
    for (const QString& member : block.mid(6, MemberCount)) {
        const QString pin = member.trimmed();
        if (pin.isEmpty() || target.pins.contains(pin))
            continue;
        (usablePin(pin) ? target.pins : target.unusable) << pin;
    }
    if (target.pins.isEmpty() && target.unusable.isEmpty()) {
        *error = QStringLiteral("group %1 has no member pager numbers").arg(g);
        return std::nullopt;
    }
    return target;
}
