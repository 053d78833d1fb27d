#include "notify/ManualPage.h"

#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "notify/Emailer.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "notify/WarningText.h"
#include "platform/Prompter.h"

namespace {
const QString kGroup = QStringLiteral("Group ");
} // namespace

ManualPage::ManualPage(Context context) : m_c(context) {}

std::optional<QString> ManualPage::prepare()
{
    if (!m_c.pager.available()) {
        m_c.prompter.message(NotFound, NotFoundTitle, IPrompter::Icon::Critical);
        return std::nullopt;
    }
    QString text = m_c.display.text();
    if (!Emailer::hasBulletin(text)) {
        m_c.prompter.message(Emailer::NoBulletin, QString(), IPrompter::Icon::Information);
        return std::nullopt;
    }
    if (m_c.settings.CompressPagerWarnings != 0) {
        text = WarningText::compress(text, m_c.display.tag(), m_c.tables.dictionary());
        m_c.display.setDisplay(text, m_c.display.tag());
    }
    return text;
}

QStringList ManualPage::targets(const PagerConfig& pagers)
{
    QStringList entries{Personal};
    for (const int g : pagers.definedGroups())
        entries << kGroup + QLatin1Char(' ') + QString::number(g);
    return entries;
}

std::optional<ManualPage::Target> ManualPage::targetFor(const QString& entry,
                                                        const PagerConfig& pagers)
{
    if (entry == Personal)
        return Target{pagers.personalId, pagers.charsPerPage};
    if (!entry.startsWith(kGroup))
        return std::nullopt;
    bool ok = false;
    const int g = entry.mid(kGroup.size()).trimmed().toInt(&ok);
    const PagerConfig::Group* group = ok ? pagers.group(g) : nullptr;
    if (!group || !group->defined())
        return std::nullopt;
    return Target{QStringLiteral("!GROUP") + QString::number(g), group->chars};
}

void ManualPage::send(const QString& entry, const QString& text)
{
    const std::optional<Target> target = targetFor(entry, m_c.pagers);
    if (!target)
        return;
    if (m_c.pager.suspended()) {
        m_c.status.setText(QStringLiteral("Paging is suspended: page to ") + target->recipient +
                           QStringLiteral(" not sent"));
        return;
    }
    m_c.pager.ProcessPage(text, target->recipient, target->chars);
}
