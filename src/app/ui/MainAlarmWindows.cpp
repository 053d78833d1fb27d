#include "app/ui/MainAlarmWindows.h"

#include "alarms/AlarmActions.h"
#include "alarms/AlarmSound.h"
#include "alarms/ui/QtSoundOutput.h"
#include "alarms/ui/ScrollWindows.h"
#include "alarms/ui/frmAlarmBox.h"
#include "app/DesktopAlarms.h"
#include "app/MainState.h"

#include <QPushButton>
#include <QStatusBar>

MainAlarmWindows::MainAlarmWindows(MainState& state, QWidget& window, QStatusBar& statusBar,
                                   Hooks hooks)
    : m_state(state), m_window(window), m_soundOutput(new QtSoundOutput(state.status, &window))
{
    m_state.alarmSound().setOutput(m_soundOutput);
    const frmScroll::Context scroll{m_state.settings, *m_state.services().store, m_state.display,
                                    hooks.mute, hooks.showBulletin};
    m_scrollWindows = new ScrollWindows(scroll, &window);
    m_state.alarmActions().setScrollWindows(m_scrollWindows);
    // A desktop notification's "Show": the product is in the bulletin area.
    QObject::connect(&m_state.desktopAlarms(), &DesktopAlarms::showRequested, m_scrollWindows,
                     hooks.showBulletin);

    m_mute = new QPushButton(QStringLiteral("Mute"));
    m_mute->setObjectName(QStringLiteral("cmdMute"));
    m_mute->setToolTip(QStringLiteral("Mute Alarm (F10)"));
    m_mute->setStyleSheet(QStringLiteral("background: rgb(255,0,0); color: white;"));
    m_mute->setVisible(false); // shown while an alarm sound runs
    statusBar.addPermanentWidget(m_mute);
    QObject::connect(m_mute, &QPushButton::clicked, &window, hooks.mute);
    QObject::connect(&m_state.alarmSound(), &AlarmSound::runningChanged, m_mute,
                     [this, running = hooks.soundRunning](bool on) {
                         m_mute->setVisible(on);
                         if (running)
                             running(on);
                     });
}

MainAlarmWindows::~MainAlarmWindows()
{
    // The alarm services outlive the window; its sound and windows do not.
    m_state.alarmSound().setOutput(nullptr);
    m_state.alarmActions().setScrollWindows(nullptr);
}

void MainAlarmWindows::openEditor(const QString& preset)
{
    if (!m_alarmBox) {
        const AlarmEditor::Context context{m_state.programDir(),
                                           m_state.alarms,
                                           m_state.settings,
                                           *m_state.services().store,
                                           m_state.tables,
                                           *m_state.services().prompter,
                                           m_state.emailBook.names(),
                                           m_state.pagerConfig.definedGroups()};
        m_alarmBox = new frmAlarmBox(context, &m_window);
    }
    if (!preset.isEmpty())
        m_alarmBox->setHeader(preset);
    m_alarmBox->show();
    m_alarmBox->raise();
    m_alarmBox->activateWindow();
}

void MainAlarmWindows::closeAll()
{
    if (m_alarmBox)
        m_alarmBox->closeForShutdown();
    m_scrollWindows->closeAll();
}
