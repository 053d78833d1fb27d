#include "app/MainState.h"

#include "alarms/AlarmActions.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmDispatcher.h"
#include "alarms/AlarmSound.h"
#include "app/AlarmNotifications.h"
#include "app/DataLossNotices.h"
#include "app/DesktopAlarms.h"
#include "app/FeedWatch.h"
#include "app/FtpExtraction.h"
#include "app/MetarAlarmActions.h"
#include "core/GeoOutlines.h"
#include "core/NwwsSettings.h"
#include "core/PointZone.h"
#include "core/UgcSearch.h"
#include "display/BulletinDisplay.h"
#include "display/GphViewer.h"
#include "display/MirrorFetcher.h"
#include "display/ProductRequests.h"
#include "display/XdotoolKeystrokes.h"
#include "ftp/FtpDownload.h"
#include "ingest/DataInPoller.h"
#include "ingest/DataWatchdog.h"
#include "ingest/EngineControl.h"
#include "ingest/ProductProcessor.h"
#include "map/ActiveWarnings.h"
#include "notify/Emailer.h"
#include "notify/MailSender.h"
#include "notify/ManualPage.h"
#include "notify/Pager.h"
#include "notify/SendFailures.h"
#include "observations/MetarAlarm.h"
#include "observations/MetarSearch.h"
#include "platform/ProcessRunner.h"
#include "platform/RuntimeError.h"
#include "platform/TextPrinter.h"

#include <QDBusConnection>
#include <QFileInfo>
#include <QTimeZone>
#include <QTimer>
#include <memory>

namespace {
// Used when no printer service was given: printing reports failure.
class NoTextPrinter : public ITextPrinter
{
public:
    bool printText(const QString&, int) override { return false; }
};
} // namespace

MainState::MainState(const QString& programDir, Services services, QObject* parent)
    : QObject(parent), m_programDir(programDir), m_services(services)
{
    m_noPrinter = std::make_unique<NoTextPrinter>();
    ITextPrinter& printer = m_services.printer ? *m_services.printer : *m_noPrinter;
    IClock& clock = *m_services.clock;
    IProcessLauncher& launcher = *m_services.launcher;
    if (!m_services.runner) {
        m_ownRunner = std::make_unique<ProcessRunner>(m_programDir);
        m_services.runner = m_ownRunner.get();
    }

    buildNotifications(*m_services.runner);
    m_notices = std::make_unique<DataLossNotices>(settings, pagerConfig, *m_mail, *m_pager);
    m_engine = std::make_unique<EngineControl>(m_programDir, launcher, *m_services.windows, status);
    m_getalarm = std::make_unique<AlarmComponent>(m_programDir, tables, clock, printer);
    m_pointZone = std::make_unique<PointZone>(settings, [this] { return outlines(); });
    m_getalarm->setPointZone(m_pointZone.get());
    // The Warning Map's set follows every filed text product.
    m_warnings = std::make_unique<ActiveWarnings>(clock);
    connect(&newProducts, &NewProducts::changed, m_warnings.get(), [this](const QStringList& e) {
        if (!e.isEmpty() && e.first() != NewProducts::None)
            m_warnings->addFiled(settings.TextPath + e.first(), e.first());
    });
    m_dispatcher = std::make_unique<AlarmDispatcher>(alarms, settings, display, clock,
                                                     *m_services.prompter, *m_getalarm);
    // The alarm component's mail and page events.
    m_alarmNotifications =
        std::make_unique<AlarmNotifications>(*m_getalarm, *m_emailer, *m_pager, pagerConfig,
                                             m_programDir + QStringLiteral("pager-log.txt"), clock);
    buildObservations(printer);
    buildAlarmActions();
    buildIngest();
    buildDisplay();
    m_ftpExtraction = std::make_unique<FtpExtraction>(settings, alarms, status);
    m_ftp = std::make_unique<FtpDownload>(m_programDir, settings, *m_services.store,
                                          *m_services.prompter, *m_ftpExtraction);
}

MainState::~MainState() = default;

// Mail and pages: the mailer and pager report failed sends on the status
// line and in their send logs.
void MainState::buildNotifications(IProcessRunner& runner)
{
    m_sendFailures = std::make_unique<SendFailures>(status, *m_services.clock);
    m_mail = std::make_unique<MailSender>(m_programDir, runner);
    m_mail->setFailures(m_sendFailures.get());
    m_pager = std::make_unique<Pager>(settings, runner);
    m_pager->setFailures(m_sendFailures.get(), m_programDir + QStringLiteral("pager-log.txt"));
    m_emailer = std::make_unique<Emailer>(Emailer::Context{settings, menus, tables, emailBook,
                                                           display, status, *m_services.prompter,
                                                           *m_services.clock, *m_mail});
    m_manualPage = std::make_unique<ManualPage>(ManualPage::Context{
        settings, display, tables, pagerConfig, *m_pager, *m_services.prompter, status});
}

void MainState::buildObservations(ITextPrinter& printer)
{
    m_metarActions = std::make_unique<MetarAlarmActions>(emailBook, pagerConfig, *m_mail, *m_pager);
    m_metarAlarm =
        std::make_unique<MetarAlarm>(settings, alarms, tables, status, display, *m_services.clock,
                                     printer, *m_metarActions, m_programDir);
    m_metarSearch =
        std::make_unique<MetarSearch>(settings, display, *m_services.prompter, *m_metarAlarm);
}

void MainState::buildAlarmActions()
{
    m_alarmSound = std::make_unique<AlarmSound>(settings, menus);
    const AlarmActions::Context context{
        m_programDir,         settings,          alarms,       display, lists, status,
        *m_services.launcher, *m_services.clock, *m_alarmSound};
    m_alarmActions = std::make_unique<AlarmActions>(context);
    m_alarmActions->connectTo(*m_getalarm);
    // After the actions: an alarm's sound has started when its words are made.
    m_desktopAlarms = std::make_unique<DesktopAlarms>(
        DesktopAlarms::Context{m_programDir, settings, tables, display, status, *m_alarmSound,
                               *m_services.clock},
        *m_getalarm, QDBusConnection::sessionBus());
    // Alarm mail subjects and pages in words, when chosen (off by default).
    auto words = [this](const QString& text) -> std::optional<QString> {
        if (!settings.NotifyMailWords)
            return std::nullopt;
        return m_desktopAlarms->words().headline(text, m_services.clock->now(),
                                                 QTimeZone::systemTimeZone());
    };
    m_emailer->setAlarmSubjectWords(words);
    m_alarmNotifications->setPageWords(words);
    // The METAR alarm sounds and scrolls as the other alarms do.
    AlarmSound* sound = m_alarmSound.get();
    AlarmActions* actions = m_alarmActions.get();
    m_metarActions->setSound([sound](const QString& path) { sound->PlayAudio(path); });
    m_metarActions->setScroll([actions](const QString& caption, const QString& title) {
        return actions->openScroll(caption, title, QString());
    });
}

void MainState::buildIngest()
{
    const ProductProcessor::Context context{m_programDir,
                                            settings,
                                            tables,
                                            menus,
                                            alarms,
                                            status,
                                            display,
                                            lists,
                                            newProducts,
                                            *m_services.clock,
                                            *m_services.launcher,
                                            *m_services.prompter};
    m_processor = std::make_unique<ProductProcessor>(context, *m_dispatcher, *m_metarSearch);
    m_poller = std::make_unique<DataInPoller>(m_programDir, *m_services.prompter);
    m_poller->setProcessor(m_processor.get());
    m_poller->watchArrivals();
    QObject::connect(m_poller.get(), &DataInPoller::batchStarted, &lists,
                     &ProductLists::beginBatch);
    QObject::connect(m_poller.get(), &DataInPoller::batchFinished, &lists, &ProductLists::endBatch);
    m_watchdog =
        std::make_unique<DataWatchdog>(*m_services.clock, status, settings, *m_notices, *m_engine);
    ProductProcessor* processor = m_processor.get();
    m_watchdog->setLastDataTime([processor] { return processor->lastDataTime(); });
    if (NwwsSettings::read(*m_services.store).enabled)
        watchFeeds();
}

// With the Weather Wire on, one feed silent while the other runs is told once
// on the status line.
void MainState::watchFeeds()
{
    auto* timer = new QTimer(m_watchdog.get());
    timer->setInterval(60000);
    const QString stamp = m_programDir + QStringLiteral("track/nwws-feed.stamp");
    QObject::connect(
        timer, &QTimer::timeout, timer, [this, stamp, watch = std::make_shared<FeedWatch>()] {
            const QString notice = watch->check(
                {m_services.clock->now(), m_processor->lastDataTime(),
                 QFileInfo(stamp).lastModified(), m_processor->duplicates().dropped()});
            if (!notice.isEmpty())
                status.setText(notice);
        });
    timer->start();
}

void MainState::buildDisplay()
{
    m_bulletin = std::make_unique<BulletinDisplay>(settings, display, status, *m_services.prompter);
    m_fetcher = std::make_unique<MirrorFetcher>();
    const ProductRequests::Context context{m_programDir, settings, *m_services.store,   lists,
                                           display,      status,   *m_services.prompter};
    m_requests = std::make_unique<ProductRequests>(context, *m_bulletin, *m_fetcher);
    m_keys = std::make_unique<XdotoolKeystrokes>(*m_services.launcher);
    m_gph = std::make_unique<GphViewer>(settings, display, status, *m_services.launcher, *m_keys);
    m_requests->setGphViewer(m_gph.get());
    m_requests->setZoneFinder(
        [this](const QString& code, const QString& product) -> std::optional<QString> {
            UgcSearch search(settings);
            try {
                if (search.FindUGC(code, product))
                    return search.SegmentText();
            } catch (const RuntimeError&) {
            }
            return std::nullopt;
        });
}

const GeoOutlines* MainState::outlines()
{
    if (!m_outlinesRead) {
        m_outlinesRead = true;
        if (std::optional<GeoOutlines> read =
                GeoOutlines::load(m_programDir + GeoOutlines::FileName, &m_outlinesError))
            m_outlines = std::make_unique<GeoOutlines>(std::move(*read));
    }
    return m_outlines.get();
}

void MainState::setProductProcessor(IProductProcessor* processor)
{
    m_poller->setProcessor(processor);
}
