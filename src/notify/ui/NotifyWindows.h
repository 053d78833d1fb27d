#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class EmailBook;
class Emailer;
class IPrompter;
class ManualPage;
class Pager;
class PagerConfig;
class PagerSetup;
class QWidget;
class Settings;
class SettingsStore;
class frmPager;
class frmPagerGroup;

// The main window's mail and paging dialogs: the recipient dialog of
// bulletin mail, the pager pick of bulletin pages (both modal), and the
// paging configuration and group dialogs (one modeless instance each).
class NotifyWindows : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        Emailer& emailer;
        const EmailBook& book;
        ManualPage& manualPage;
        PagerConfig& pagers;
        Pager& pager;
        Settings& settings;
        SettingsStore& store;
        IPrompter& prompter;
        QString programDir;
    };

    NotifyWindows(Services services, QWidget& parent);

    // File > Send to E-Mail... and the list pop-up's "Send to Email".
    void mnuEmail_Click();
    // File > Send to Pager... and the list pop-up's "Send to Pager".
    void mnuPage_Click();
    // Add-ins > Paging Setup (paging must be available).
    void showPagerSetup();
    void showPagerGroups();
    void closeAll();

private:
    PagerSetup setup() const;

    Services m_s;
    QWidget& m_parent;
    QPointer<frmPager> m_pagerSetup;
    QPointer<frmPagerGroup> m_pagerGroups;
};
