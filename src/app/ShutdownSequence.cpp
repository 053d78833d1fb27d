#include "app/ShutdownSequence.h"

#include "core/Settings.h"
#include "ingest/EngineControl.h"
#include "notify/MailSender.h"
#include "platform/Clock.h"
#include "platform/FileLister.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QFile>

ShutdownSequence::ShutdownSequence(QString programDir, Settings& settings, SettingsStore& store,
                                   EngineControl& engine, IShutdownHost& host, IPrompter& prompter)
    : m_programDir(std::move(programDir)), m_settings(settings), m_store(store), m_engine(engine),
      m_host(host), m_prompter(prompter)
{
}

void ShutdownSequence::exitFromMenu()
{
    m_engine.setNetLink(QStringLiteral("SHUTDOWN"));
    m_engine.finishCommands(CommandWaitMs);
}

bool ShutdownSequence::windowClosing()
{
    if (m_done)
        return m_saved;
    m_done = true;
    saveSettings();
    m_engine.restoreEngineWindows();
    m_host.processEvents();
    m_host.hideTrayIcon();
    deleteMailBodies();
    m_host.closeDialogs();
    return m_saved;
}

void ShutdownSequence::saveSettings()
{
    const auto size = m_host.windowSizeTwips();
    if (size) {
        m_settings.Width = size->first;
        m_settings.Height = size->second;
    }
    m_settings.writeShutdown(m_store, m_engine.hideIngestChecked(), !size.has_value());
    m_saved = m_store.sync();
    if (!m_saved)
        m_prompter.message(m_store.writeFailure(), QString(), IPrompter::Icon::Exclamation);
}

void ShutdownSequence::deleteMailBodies()
{
    const QStringList keep =
        m_mail && m_clock ? m_mail->holdForNextStart(m_clock->now()) : QStringList();
    for (const QString& name : FileLister::list(m_programDir, QStringLiteral("output*.txt"))) {
        if (!keep.contains(name))
            QFile::remove(m_programDir + name);
    }
}
