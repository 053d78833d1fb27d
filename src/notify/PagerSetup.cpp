#include "notify/PagerSetup.h"

#include "core/Settings.h"
#include "platform/SettingsStore.h"

PagerSetup::PagerSetup(PagerConfig& pagers, Settings& settings, SettingsStore& store,
                       QString directory)
    : m_pagers(pagers), m_settings(settings), m_store(store), m_directory(std::move(directory))
{
}

PagerSetup::Personal PagerSetup::personal() const
{
    Personal p;
    p.dialup = m_pagers.dialup;
    p.pagerNumber = m_pagers.pagerNumber;
    p.chars = m_pagers.charsPerPage;
    p.userName = m_pagers.personalId.isEmpty() ? DefaultUserName : m_pagers.personalId;
    p.maxPages = m_settings.MaxPages;
    p.speed = m_pagers.speed;
    p.parity = m_pagers.parity;
    p.dataBits = m_pagers.dataBits;
    p.stopBits = m_pagers.stopBits;
    p.compress = m_settings.CompressPagerWarnings != 0;
    return p;
}

void PagerSetup::savePersonal(const Personal& fields)
{
    PagerConfig changed = m_pagers;
    changed.dialup = fields.dialup;
    changed.pagerNumber = fields.pagerNumber;
    changed.charsPerPage = fields.chars;
    changed.personalId = fields.userName;
    changed.speed = fields.speed;
    changed.parity = fields.parity;
    changed.dataBits = fields.dataBits;
    changed.stopBits = fields.stopBits;
    changed.saveUsers(m_directory);
    m_pagers = changed;
    m_settings.MaxPages = fields.maxPages;
    m_settings.CompressPagerWarnings = fields.compress ? 1 : 0;
    m_settings.writePagerSetup(m_store);
}

bool PagerSetup::pagerNumberAcceptable(const QString& number)
{
    for (const QChar c : number) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

bool PagerSetup::pinUsable(const QString& pin)
{
    return PagerFiles::usablePin(pin);
}

QString PagerSetup::memberPinProblem(const PagerConfig::Group& group)
{
    for (int m = 0; m < group.members.size(); ++m) {
        const QString pin = group.members.at(m).trimmed();
        if (pin.isEmpty() || pinUsable(pin))
            continue;
        return QStringLiteral("Member %1: pager PIN \"%2\" cannot be paged. Use letters and "
                              "digits only (at most 16), no dashes or blanks.")
            .arg(m + 1)
            .arg(pin);
    }
    return QString();
}

void PagerSetup::openGroups()
{
    m_pagers.loadGroups(PagerConfig::filePath(m_directory, QStringLiteral("groups.ini")));
}

const PagerConfig::Group& PagerSetup::group(int g) const
{
    static const PagerConfig::Group none;
    const PagerConfig::Group* found = m_pagers.group(g);
    return found ? *found : none;
}

void PagerSetup::storeGroup(int g, const PagerConfig::Group& fields)
{
    if (g >= 1 && g <= PagerConfig::GroupCount)
        m_pagers.groups[g - 1] = fields;
}

void PagerSetup::saveGroups() const
{
    m_pagers.saveGroups(m_directory);
}
