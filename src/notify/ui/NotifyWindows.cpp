#include "notify/ui/NotifyWindows.h"

#include "core/ui/SingleWindow.h"
#include "notify/Emailer.h"
#include "notify/ManualPage.h"
#include "notify/Pager.h"
#include "notify/PagerSetup.h"
#include "notify/ui/frmEmail.h"
#include "notify/ui/frmPagePick.h"
#include "notify/ui/frmPager.h"
#include "notify/ui/frmPagerGroup.h"

#include <QWidget>

NotifyWindows::NotifyWindows(Services services, QWidget& parent)
    : QObject(&parent), m_s(std::move(services)), m_parent(parent)
{
}

void NotifyWindows::mnuEmail_Click()
{
    m_s.emailer.mailShownBulletin([this] { return frmEmail::pick(m_s.book, &m_parent); });
}

void NotifyWindows::mnuPage_Click()
{
    const std::optional<QString> text = m_s.manualPage.prepare();
    if (!text)
        return;
    frmPagePick pick(m_s.manualPage, m_s.pagers, *text, &m_parent);
    pick.exec();
}

PagerSetup NotifyWindows::setup() const
{
    return PagerSetup(m_s.pagers, m_s.settings, m_s.store,
                      m_s.pager.filesDirectory(m_s.programDir));
}

void NotifyWindows::showPagerSetup()
{
    if (m_pagerSetup) {
        SingleWindow::present(m_pagerSetup, static_cast<frmPager*>(nullptr));
        return;
    }
    auto* dialog = new frmPager(setup(), m_s.prompter, &m_parent);
    connect(dialog, &frmPager::groupsRequested, this, &NotifyWindows::showPagerGroups);
    SingleWindow::present(m_pagerSetup, dialog);
}

void NotifyWindows::showPagerGroups()
{
    SingleWindow::present(m_pagerGroups, m_pagerGroups
                                             ? nullptr
                                             : new frmPagerGroup(setup(), m_s.prompter, &m_parent));
}

void NotifyWindows::closeAll()
{
    for (QWidget* window :
         {static_cast<QWidget*>(m_pagerSetup), static_cast<QWidget*>(m_pagerGroups)}) {
        if (window)
            window->close();
    }
}
