#pragma once

#include <QString>
#include <functional>

class MainState;

// Commands of the main window's Add-ins and Help menus that belong to no
// subsystem: paging setup, the AFOS plotting program, the alarm test and the
// Help text lists.
class MainMenuCommands
{
public:
    explicit MainMenuCommands(MainState& state);

    // Opens the pager setup dialogs (set by the window).
    void setPagerSetup(std::function<void()> open) { m_pagerSetup = std::move(open); }

    // Add-ins: 1 Paging Setup, 3 AFOS plotting, 4 Alarm Test.
    void openAddIn(int index);
    // The Alarm Test item is shown when a test product exists.
    bool alarmTestAvailable() const;
    // Help: 1 file names, 2 location identifiers, 3 AFOS graphic list.
    void openHelp(int index);

    // The command line that starts the AFOS plotting program.
    QString afosPlotCommand() const;

private:
    MainState& m_state;
    std::function<void()> m_pagerSetup;
};
