#include "app/StartupSequence.h"

#include "app/MainState.h"
#include "app/StartupHost.h"
#include "core/NwwsSettings.h"
#include "images/WXPlot.h"
#include "ingest/DataInPoller.h"
#include "ingest/DataWatchdog.h"
#include "ingest/EngineControl.h"
#include "ingest/ProductProcessor.h"
#include "map/ActiveWarnings.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "platform/Clock.h"
#include "platform/CreateDir.h"
#include "platform/ErrorReport.h"
#include "platform/FileLister.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QFileInfo>

namespace {
const QString kUsersIni = QStringLiteral("users.ini");
const QString kGroupsIni = QStringLiteral("groups.ini");
} // namespace

StartupSequence::StartupSequence(MainState& state, IStartupHost& host)
    : m_state(state), m_host(host)
{
    findProgram = [this](const QString& name) {
        return ProcessLauncher(m_state.programDir()).findProgram(name);
    };
}

bool StartupSequence::run()
{
    const auto steps = {
        std::function<void()>([this] { readFirstSettings(); }),
        std::function<void()>([this] {
            if (m_host.isSmallScreen())
                m_host.applySmallScreenLayout();
        }),
        std::function<void()>([this] {
            m_state.settings.readWindowSize(*m_state.services().store);
            m_host.applyWindowSize(m_state.settings.Width, m_state.settings.Height);
            m_host.showMainWindow();
            m_host.processEvents();
        }),
        std::function<void()>([this] { findAbcPager(); }),
        std::function<void()>([this] { readSettings(); }),
        std::function<void()>(
            [this] { m_host.setWxPlotVisible(WXPlot::isInstalled(m_state.settings.WXPlotPath)); }),
        std::function<void()>([this] { m_state.engine().setPurgeVal(m_state.settings.PurgeVal); }),
        std::function<void()>([this] { prepareDirectories(); }),
        // Alarm mail bodies are left for the mailer; those older than a day are done with.
        std::function<void()>([this] {
            m_state.mail().removeAlarmBodiesBefore(m_state.services().clock->now().addDays(-1));
        }),
        std::function<void()>([this] { firstRun(); }),
        std::function<void()>([this] {
            m_state.settings.stripLF =
                TextFile::exists(m_state.programDir() + QStringLiteral("striplf.txt"));
        }),
        std::function<void()>([this] { loadFiles(); }),
    };
    for (const auto& s : steps) {
        if (!step(s))
            return false;
    }
    // Loading the files handles its own per-file errors; stop if one ended start-up.
    if (m_failed)
        return false;
    finish();
    return !m_failed;
}

bool StartupSequence::step(const std::function<void()>& statement)
{
    if (m_failed)
        return false;
    // The file name decides how an error is handled only while that file is
    // being read; a later statement has nothing to do with it.
    try {
        statement();
        m_currentFile.clear();
        return true;
    } catch (const RuntimeError& error) {
        const bool carryOn = handle(error) == Outcome::CarryOn;
        m_currentFile.clear();
        return carryOn;
    }
}

StartupSequence::Outcome StartupSequence::handle(const RuntimeError& error)
{
    const QString file = QFileInfo(m_currentFile).fileName();
    IPrompter& prompter = *m_state.services().prompter;
    if (error.number() == ErrorNumber::PathNotFound) {
        if (file.compare(kUsersIni, Qt::CaseInsensitive) == 0)
            prompter.message(QStringLiteral("There is a problem with the abcPager installation.\n"
                                            "Please reinstall abcPager..."),
                             QString(), IPrompter::Icon::Information);
        else
            prompter.message(QStringLiteral("Configure the Data-In path and restart Vantorel."),
                             QString(), IPrompter::Icon::Information);
        m_state.status.setText(QStringLiteral("Startup FAILED"));
        m_failed = true;
        return Outcome::Stop;
    }
    if (error.number() == ErrorNumber::PathFileAccess ||
        file.compare(kUsersIni, Qt::CaseInsensitive) == 0 ||
        file.compare(kGroupsIni, Qt::CaseInsensitive) == 0)
        return Outcome::CarryOn;
    fail(ErrorReport::format(QStringLiteral("MAIN: Form - Load"), error) +
         QStringLiteral("\nFile: ") + file);
    return Outcome::Stop;
}

void StartupSequence::fail(const QString& report)
{
    m_state.display.setDisplay(report);
    m_host.showMainWindow();
    m_host.showDisplay();
    m_state.status.setText(QStringLiteral("Startup FAILED"));
    m_failed = true;
}

void StartupSequence::readFirstSettings()
{
    m_state.settings.readLongHeader(*m_state.services().store);
    m_state.processor().setLastDataTime(m_state.services().clock->now());
}

void StartupSequence::findAbcPager()
{
    m_state.pager().setProgramPath(findProgram(QStringLiteral("abcPager")));
    m_host.setSuspendPageVisible(m_state.pager().available());
}

void StartupSequence::readSettings()
{
    QStringList problems;
    m_state.settings.readStartupKeys(*m_state.services().store, &problems);
    if (!problems.isEmpty())
        m_state.services().prompter->message(problems.join(QLatin1Char('\n')),
                                             QStringLiteral("Vantorel Settings"),
                                             IPrompter::Icon::Exclamation);
}

void StartupSequence::prepareDirectories()
{
    Settings& s = m_state.settings;
    SettingsStore& store = *m_state.services().store;
    const QString dir = m_state.programDir();
    s.TrackPath = dir + QStringLiteral("track/");
    s.store(store, Settings::Key::TrackPath);
    if (s.TransferPath == QLatin1String("abcd")) {
        s.TransferPath = dir + QStringLiteral("track/transfer/");
        s.store(store, Settings::Key::TransferPath);
    }
    CreateDir::CreateByPath(dir + QStringLiteral("track/rcv/"));
    CreateDir::CreateByPath(s.TrackPath + QStringLiteral("byte/"));
    CreateDir::CreateByPath(s.receiptDir());
    CreateDir::CreateByPath(s.TransferPath);
    // Polling a directory that is not there, or cannot be listed or emptied,
    // would take nothing without a word.
    const QFileInfo dataIn(s.TransferPath);
    if (!dataIn.isDir() || !dataIn.isReadable() || !dataIn.isExecutable() || !dataIn.isWritable())
        throw RuntimeError(ErrorNumber::PathNotFound, s.TransferPath);
    CreateDir::CreateByPath(s.ArchivePath);
    m_state.lists.setLocalCodes(s.localFilterCodes());
    m_state.lists.setLongHeader(s.LongHeader != 0);
    m_state.poller().setDirectory(s.TransferPath);
}

void StartupSequence::firstRun()
{
    Settings& s = m_state.settings;
    if (s.TextPath != QLatin1String("abcd"))
        return;
    m_host.hideMainWindow();
    s.TextPath = Settings::defaultTextPath();
    s.store(*m_state.services().store, Settings::Key::TextPath);
    // A new user receives over the Internet when the Internet engine is
    // installed; without any engine program, in network mode, so that
    // products dropped into the Data-In directory are taken at once.
    if (!s.WeathernodeMode && !s.NetworkMode) {
        if (!findProgram(QStringLiteral("Engine")).isEmpty())
            s.WeathernodeMode = true;
        else if (findProgram(QStringLiteral("VTIngest")).isEmpty())
            s.NetworkMode = true;
    }
    m_host.showConfigModeless();
    const auto answer = m_state.services().prompter->question(
        QStringLiteral("Create default directory structure?"), QStringLiteral("New User"),
        IPrompter::Buttons::YesNo);
    if (answer == IPrompter::Answer::Yes) {
        CreateDir::CreateByPath(s.TextPath);
        CreateDir::CreateByPath(s.GIFPath);
        CreateDir::CreateByPath(s.SAPath);
    }
    m_host.hideConfig();
    m_host.execConfigModal();
    // The mode the dialog showed (or was changed to, which applies at once)
    // is the one the next start uses, also when the dialog was left with Exit.
    SettingsStore& store = *m_state.services().store;
    s.store(store, Settings::Key::WeathernodeMode);
    s.store(store, Settings::Key::NetworkMode);
    if (!store.sync())
        m_state.services().prompter->message(store.writeFailure(), QString(),
                                             IPrompter::Icon::Exclamation);
    m_host.showMainWindow();
}

void StartupSequence::loadFiles()
{
    const QString dir = m_state.programDir();
    auto load = [&](const QString& name, const std::function<void(const QString&)>& loader) {
        return step([&] {
            m_currentFile = name;
            loader(dir + name);
        });
    };
    ReferenceTables& t = m_state.tables;
    MenuDefinitions& m = m_state.menus;
    const bool ok =
        load(QStringLiteral("Vantorel-Button.txt"), [&](const QString& p) { m.loadButtons(p); }) &&
        load(QStringLiteral("radarsite.txt"),
             [&](const QString& p) {
                 t.loadRadarSite(p);
                 if (t.radarFileExists())
                     m.setButtonCaption(0, QStringLiteral("Radar"));
             }) &&
        load(QStringLiteral("awips-headers.csv"),
             [&](const QString& p) { t.loadAwipsHeaders(p); }) &&
        load(QStringLiteral("blat-output.txt"),
             [&](const QString& p) { m_state.mail().loadOptions(p); }) &&
        load(QStringLiteral("fips63.txt"), [&](const QString& p) { t.loadCounties(p); }) &&
        load(QStringLiteral("email-users.txt"),
             [&](const QString& p) { m_state.emailBook.loadUsers(p, m_state.settings.EMail0); }) &&
        load(QStringLiteral("pager-tag.txt"),
             [&](const QString& p) { m_state.pager().loadTag(p); }) &&
        load(QStringLiteral("email-tag.txt"),
             [&](const QString& p) { m_state.emailBook.loadTag(p); }) &&
        load(QStringLiteral("printer-font.txt"), [&](const QString& p) { t.loadPrinterFont(p); }) &&
        load(QStringLiteral("Vantorel-MainMenu.txt"),
             [&](const QString& p) {
                 m.loadMainMenu(p);
                 if (m.tooManyMenuItems())
                     m_state.status.setText(
                         QStringLiteral("Too many menu items, maximum of 30 per section."));
             }) &&
        load(QStringLiteral("Vantorel-Quick.txt"), [&](const QString& p) { m.loadQuick(p); }) &&
        load(QStringLiteral("alarm-exe.txt"),
             [&](const QString& p) {
                 m_state.alarms.loadExe(p);
                 if (m_state.alarms.tooManyPrograms())
                     m_state.services().prompter->message(
                         QStringLiteral("Too many EXE alarms entered - maximum of 9"),
                         QStringLiteral("Vantorel: alarm-exe.txt"), IPrompter::Icon::Critical);
             }) &&
        load(AlarmFile::fileName(m_state.settings.AlarmFileNum),
             [&](const QString& p) {
                 // Lines that cannot be read are skipped and named; the others alarm.
                 m_state.alarms.load(p);
                 const QStringList& skipped = m_state.alarms.problems();
                 if (!skipped.isEmpty())
                     m_state.display.setDisplay(
                         QStringLiteral("ALARM ERROR\n------\n\nThese alarm definitions are "
                                        "not used:\n") +
                         skipped.join(QLatin1Char('\n')));
             }) &&
        load(QStringLiteral("dictionary.vantorel.txt"),
             [&](const QString& p) { t.loadDictionary(p); }) &&
        load(QStringLiteral("county-prod.txt"),
             [&](const QString& p) { t.loadCountyProducts(p); }) &&
        load(QStringLiteral("zonecode.csv"), [&](const QString& p) { t.loadZones(p); });
    if (!ok)
        return;
    m_state.newProducts.clearOlder();
    m_host.applyDefinitions(m);
    if (!m_state.pager().available())
        return;
    const QString pagerDir = m_state.pager().filesDirectory(m_state.programDir());
    step([&] {
        m_currentFile = kUsersIni;
        m_state.pagerConfig = PagerConfig::load(pagerDir);
    });
}

void StartupSequence::showLastImage()
{
    m_host.reopenLastImage();
}

void StartupSequence::finish()
{
    const bool ok =
        step([this] {
            if (m_state.settings.PurgeVal != 0)
                m_state.engine().purge();
        }) &&
        step([this] {
            m_host.showDisplay();
            m_host.processEvents();
        }) &&
        step([this] { showLastImage(); }) && step([this] { m_state.watchdog().start(); }) &&
        step([this] {
            QStringList problems;
            m_state.engine().setHideIngestChecked(
                m_state.settings.readHideIngest(*m_state.services().store, &problems));
        }) &&
        step([this] {
            const Settings& s = m_state.settings;
            m_state.engine().startupStep(EngineControl::modeFrom(s.WeathernodeMode, s.NetworkMode));
            if (NwwsSettings::read(*m_state.services().store).enabled)
                m_state.engine().startWeatherWire();
            if (!s.WeathernodeMode && s.NetworkMode)
                m_host.setHideIngestVisible(false);
        }) &&
        step([this] {
            m_state.engine().toggleIngestWindows();
            m_host.processEvents();
            m_state.engine().toggleIngestWindows();
            m_host.processEvents();
        }) &&
        step([this] { m_state.warnings().rebuildFrom(m_state.settings.TextPath); }) &&
        step([this] { m_state.poller().start(); });
    if (!ok)
        return;
    // Mail held when the program last closed goes out now that the mailer's
    // options are known.
    m_state.mail().resendHeld(m_state.services().clock->now());
    m_state.startupSucceeded = true;
    m_state.status.setText(QStringLiteral("Startup Successful"));
}
