#include "abcPager/PagerTargets.h"

#include "platform/RuntimeError.h"

#include <QRegularExpression>

bool PagerTargets::load(const QString& dir, QString* error)
{
    try {
        if (const auto users =
                PagerFiles::readLines(PagerFiles::filePath(dir, PagerFiles::UsersFile)))
            setUsersLines(*users);
        if (const auto groups =
                PagerFiles::readLines(PagerFiles::filePath(dir, PagerFiles::GroupsFile)))
            setGroupsLines(*groups);
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
    m_personal = PagerFiles::readUsers(lines);
    m_haveUsers = true;
}

void PagerTargets::setGroupsLines(const QStringList& lines)
{
    m_groups = PagerFiles::readGroups(lines);
    m_haveGroups = true;
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
    const QString id = m_personal.id.trimmed();
    if (!m_haveUsers || id.isEmpty() || id.compare(recipient, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("unknown recipient \"%1\": neither the personal pager ID in "
                                "users.ini nor !GROUP1 to !GROUP10")
                     .arg(recipient);
        return std::nullopt;
    }
    Target target;
    target.recipient = recipient;
    target.dialup = m_personal.dialup.trimmed();
    target.speed = m_personal.speed.trimmed();
    target.parity = m_personal.parity;
    target.dataBits = m_personal.dataBits;
    target.stopBits = m_personal.stopBits;
    target.chars = m_personal.charsPerPage.trimmed();
    const QString pin = m_personal.pagerNumber.trimmed();
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
    if (!m_haveGroups) {
        *error = QStringLiteral("no groups.ini for group %1").arg(g);
        return std::nullopt;
    }
    const PagerFiles::Group& block = m_groups[g - 1];
    if (!block.defined()) {
        *error = QStringLiteral("group %1 is not defined in groups.ini").arg(g);
        return std::nullopt;
    }
    Target target;
    target.recipient = recipient;
    target.dialup = block.dialup.trimmed();
    target.speed = block.speed.trimmed();
    target.parity = block.parity;
    target.dataBits = block.dataBits;
    target.stopBits = block.stopBits;
    target.chars = block.chars.trimmed();
    for (const QString& member : block.members) {
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
