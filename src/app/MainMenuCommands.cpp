#include "app/MainMenuCommands.h"

#include "alarms/AlarmTest.h"
#include "app/MainState.h"
#include "display/BulletinDisplay.h"
#include "notify/Pager.h"
#include "platform/ErrorReport.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"

namespace {
const char* const kHelpLists[4] = {nullptr, "product-list.txt", "facility-list.txt",
                                   "afos-list.txt"};
} // namespace

MainMenuCommands::MainMenuCommands(MainState& state) : m_state(state) {}

QString MainMenuCommands::afosPlotCommand() const
{
    return QLatin1Char('"') + m_state.programDir() + QStringLiteral("afosplot\"");
}

bool MainMenuCommands::alarmTestAvailable() const
{
    return AlarmTest(m_state.programDir(), m_state.settings, m_state.alarms, m_state.status,
                     m_state.display, m_state.alarmDispatcher())
        .available();
}

void MainMenuCommands::openAddIn(int index)
{
    switch (index) {
    case 1:
        if (!m_state.pager().available())
            m_state.services().prompter->message(QStringLiteral("abcPager software not found"),
                                                 QStringLiteral("Vantorel Paging Component"),
                                                 IPrompter::Icon::Critical);
        else if (m_pagerSetup)
            m_pagerSetup();
        return;
    case 3:
        m_state.services().launcher->start(afosPlotCommand(), LaunchWindow::Normal);
        return;
    case 4:
        AlarmTest(m_state.programDir(), m_state.settings, m_state.alarms, m_state.status,
                  m_state.display, m_state.alarmDispatcher())
            .run();
        return;
    default:
        return;
    }
}

void MainMenuCommands::openHelp(int index)
{
    if (index < 1 || index > 3)
        return;
    m_state.display.setDisplay(m_state.display.text(), QString());
    try {
        m_state.bulletin().showTextFile(m_state.programDir() + QLatin1String(kHelpLists[index]));
    } catch (const RuntimeError& e) {
        m_state.services().prompter->message(
            ErrorReport::format(QStringLiteral("MAIN: mnuAbout"), e), QString(),
            IPrompter::Icon::Exclamation);
    }
}
