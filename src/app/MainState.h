#pragma once

#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/MenuDefinitions.h"
#include "core/NewProducts.h"
#include "core/ProductLists.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "notify/EmailBook.h"
#include "notify/PagerConfig.h"

#include <QObject>
#include <memory>

class ActiveWarnings;
class AlarmActions;
class AlarmDispatcher;
class AlarmSound;
class AlarmNotifications;
class BulletinDisplay;
class DataInPoller;
class DesktopAlarms;
class DataLossNotices;
class DataWatchdog;
class Emailer;
class EngineControl;
class FtpDownload;
class FtpExtraction;
class GeoOutlines;
class GphViewer;
class IClock;
class IMetarHooks;
class IProcessLauncher;
class IProcessRunner;
class IProductProcessor;
class IPrompter;
class ITextPrinter;
class IWindowControl;
class MailSender;
class ManualPage;
class MetarAlarm;
class MetarAlarmActions;
class MetarSearch;
class MirrorFetcher;
class Pager;
class ProductProcessor;
class PointZone;
class ProcessRunner;
class ProductRequests;
class SendFailures;
class SettingsStore;
class AlarmComponent;
class XdotoolKeystrokes;

// Builds the program for one run: the program-wide state of core (settings,
// tables, lists, status line, bulletin area) and the services of every
// subsystem, each given the narrow pieces it uses, wired to each other.
// Only the app layer and the windows see it.
class MainState : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        SettingsStore* store;
        IProcessLauncher* launcher;
        IWindowControl* windows;
        IPrompter* prompter;
        IClock* clock;
        // The printer alarms print on; none = printing is not available.
        ITextPrinter* printer = nullptr;
        // Runs the mailer and the pager and tells how they ended; none = a
        // runner of the program's own.
        IProcessRunner* runner = nullptr;
    };

    MainState(const QString& programDir, Services services, QObject* parent = nullptr);
    ~MainState() override;

    QString programDir() const { return m_programDir; }
    const Services& services() const { return m_services; }

    // Program-wide state.
    Settings settings;
    ReferenceTables tables;
    MenuDefinitions menus;
    AlarmFile alarms;
    EmailBook emailBook;
    PagerConfig pagerConfig;
    StatusLine status;
    DisplayState display;
    ProductLists lists;
    NewProducts newProducts;
    bool startupSucceeded = false;

    // Services.
    MailSender& mail() { return *m_mail; }
    Pager& pager() { return *m_pager; }
    // Bulletin and alarm mail, and paging the bulletin on show.
    Emailer& emailer() { return *m_emailer; }
    ManualPage& manualPage() { return *m_manualPage; }
    EngineControl& engine() { return *m_engine; }
    DataInPoller& poller() { return *m_poller; }
    DataWatchdog& watchdog() { return *m_watchdog; }
    // The alarm component (getalarm) and the matching that feeds it.
    AlarmComponent& getalarm() { return *m_getalarm; }
    AlarmDispatcher& alarmDispatcher() { return *m_dispatcher; }
    // What alarms do on screen, in the lists, on disk and in sound; the
    // windows give them their sound output and scrolling windows.
    AlarmSound& alarmSound() { return *m_alarmSound; }
    AlarmActions& alarmActions() { return *m_alarmActions; }
    // Desktop notifications and spoken words of the alarms.
    DesktopAlarms& desktopAlarms() { return *m_desktopAlarms; }
    // ProcessData: where the polling pass hands every product file.
    ProductProcessor& processor() { return *m_processor; }
    BulletinDisplay& bulletin() { return *m_bulletin; }
    ProductRequests& requests() { return *m_requests; }
    GphViewer& gphViewer() { return *m_gph; }
    // The METAR searches (also the hooks of ingest) and the METAR alarm.
    MetarSearch& metarSearch() { return *m_metarSearch; }
    MetarAlarmActions& metarAlarmActions() { return *m_metarActions; }
    // The FTP bulk download (Add-ins > FTP Ingestor).
    FtpDownload& ftp() { return *m_ftp; }
    // The state and county outlines of the program directory, read on first
    // use; none (and the reason in outlinesError) when they cannot be read.
    const GeoOutlines* outlines();
    QString outlinesError() const { return m_outlinesError; }
    // The warnings and watches in effect (the Warning Map), fed by every filed product.
    ActiveWarnings& warnings() { return *m_warnings; }
    // The alarm zone POINT (the user's location).
    const PointZone& pointZone() const { return *m_pointZone; }
    // Replaces where the polling pass hands each product file (tests).
    void setProductProcessor(IProductProcessor* processor);

private:
    void buildNotifications(IProcessRunner& runner);
    void buildObservations(ITextPrinter& printer);
    void buildAlarmActions();
    void buildIngest();
    void watchFeeds();
    void buildDisplay();

    QString m_programDir;
    Services m_services;
    std::unique_ptr<ITextPrinter> m_noPrinter;
    std::unique_ptr<ProcessRunner> m_ownRunner;
    std::unique_ptr<SendFailures> m_sendFailures;
    std::unique_ptr<MailSender> m_mail;
    std::unique_ptr<Pager> m_pager;
    std::unique_ptr<Emailer> m_emailer;
    std::unique_ptr<ManualPage> m_manualPage;
    std::unique_ptr<AlarmNotifications> m_alarmNotifications;
    std::unique_ptr<DataLossNotices> m_notices;
    std::unique_ptr<EngineControl> m_engine;
    std::unique_ptr<AlarmComponent> m_getalarm;
    std::unique_ptr<AlarmDispatcher> m_dispatcher;
    std::unique_ptr<AlarmSound> m_alarmSound;
    std::unique_ptr<AlarmActions> m_alarmActions;
    std::unique_ptr<DesktopAlarms> m_desktopAlarms;
    std::unique_ptr<MetarAlarmActions> m_metarActions;
    std::unique_ptr<MetarAlarm> m_metarAlarm;
    std::unique_ptr<MetarSearch> m_metarSearch;
    std::unique_ptr<ProductProcessor> m_processor;
    std::unique_ptr<DataInPoller> m_poller;
    std::unique_ptr<DataWatchdog> m_watchdog;
    std::unique_ptr<BulletinDisplay> m_bulletin;
    std::unique_ptr<MirrorFetcher> m_fetcher;
    std::unique_ptr<ProductRequests> m_requests;
    std::unique_ptr<XdotoolKeystrokes> m_keys;
    std::unique_ptr<GphViewer> m_gph;
    std::unique_ptr<FtpExtraction> m_ftpExtraction;
    std::unique_ptr<FtpDownload> m_ftp; // after its extraction: ends first
    std::unique_ptr<GeoOutlines> m_outlines;
    bool m_outlinesRead = false;
    QString m_outlinesError;
    std::unique_ptr<PointZone> m_pointZone;
    std::unique_ptr<ActiveWarnings> m_warnings;
};
