#pragma once

#include <QString>
#include <optional>

class EngineControl;
class IClock;
class MailSender;
class IPrompter;
class Settings;
class SettingsStore;

// What shutdown asks of the main window.
class IShutdownHost
{
public:
    virtual ~IShutdownHost() = default;
    // The window's size in twips; nothing when it is minimised or hidden.
    virtual std::optional<std::pair<double, double>> windowSizeTwips() const = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    virtual void hideTrayIcon() = 0;
    // Closes the dialogs the main window opened (configuration, viewers).
    virtual void closeDialogs() = 0;
};

// The end of a run, in its fixed order: the window size (unless minimised),
// the hide switch and the image on show go to the settings store, the engine
// windows are shown again, the tray icon goes, this run's mail bodies
// ("output*.txt") are deleted and the open dialogs are closed. Runs once.
// With the mail sender given, mail still waiting is held for the next start
// and the bodies of held mail and of mail a running mailer may still read
// are left in place.
// Settings that cannot be written are reported before the program ends.
class ShutdownSequence
{
public:
    // How long exit waits for the engines to take "SHUTDOWN".
    static constexpr int CommandWaitMs = 500;

    ShutdownSequence(QString programDir, Settings& settings, SettingsStore& store,
                     EngineControl& engine, IShutdownHost& host, IPrompter& prompter);

    // Exit from the menu: the engines are told to shut down, then the window closes.
    void exitFromMenu();
    // The window closes. False when the settings could not be written.
    bool windowClosing();
    bool done() const { return m_done; }
    void setMail(MailSender* mail, const IClock* clock)
    {
        m_mail = mail;
        m_clock = clock;
    }

private:
    void saveSettings();
    void deleteMailBodies();

    QString m_programDir;
    Settings& m_settings;
    SettingsStore& m_store;
    EngineControl& m_engine;
    IShutdownHost& m_host;
    IPrompter& m_prompter;
    bool m_done = false;
    bool m_saved = true;
    MailSender* m_mail = nullptr;
    const IClock* m_clock = nullptr;
};
