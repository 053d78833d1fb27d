#include "app/MainState.h"

#include "alarms/AlarmDispatcher.h"
#include "alarms/VOZUZUduvi.h"
#include "ingest/DataInPoller.h"
#include "ingest/DataWatchdog.h"
#include "ingest/EngineControl.h"
#include "core/NoMetarHooks.h"
#include "ingest/ProductProcessor.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "platform/TextPrinter.h"

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
    m_mail = std::make_unique<MailSender>(m_programDir, *m_services.launcher);
    m_pager = std::make_unique<Pager>(QString(), *m_services.launcher);
    m_engine = std::make_unique<EngineControl>(m_programDir, *m_services.launcher,
                                               *m_services.windows, status);
    m_poller = std::make_unique<DataInPoller>(m_programDir, *m_services.prompter);
    m_watchdog =
        std::make_unique<DataWatchdog>(*m_services.clock, status, *m_mail, *m_pager, *m_engine);
    m_watchdog->setLastDataTime([this] { return lastDataTime; });
    m_noPrinter = std::make_unique<NoTextPrinter>();
    ITextPrinter& printer = m_services.printer ? *m_services.printer : *m_noPrinter;
    m_getalarm = std::make_unique<VOZUZUduvi>(*this, printer);
    m_dispatcher = std::make_unique<AlarmDispatcher>(*this, *m_getalarm);
    m_metarHooks = std::make_unique<NoMetarHooks>();
    m_processor = std::make_unique<ProductProcessor>(*this, *m_dispatcher, *m_metarHooks);
    m_poller->setProcessor(m_processor.get());
    connect(&display, &DisplayState::changed, this, &MainState::displayChanged);
}

MainState::~MainState() = default;

void MainState::setProductProcessor(IProductProcessor* processor)
{
    m_poller->setProcessor(processor);
}

void MainState::setDisplay(const QString& text, const QString& tag)
{
    display.setDisplay(text, tag);
}

void MainState::setDdeHeader(const QString& text)
{
    m_ddeHeader = text;
    emit ddeHeaderChanged(text);
}

void MainState::setNewProducts(const QStringList& entries)
{
    newProducts = entries;
    emit newProductsChanged(entries);
}

void MainState::setPagerProgram(const QString& path)
{
    const bool suspended = m_pager->suspended();
    m_pager = std::make_unique<Pager>(path, *m_services.launcher);
    m_pager->setSuspended(suspended);
    m_watchdog =
        std::make_unique<DataWatchdog>(*m_services.clock, status, *m_mail, *m_pager, *m_engine);
    m_watchdog->setLastDataTime([this] { return lastDataTime; });
}

void MainState::applySettingsToServices()
{
    m_pager->setMaxPages(settings.MaxPages);
    DataWatchdog::Options options;
    options.alertEmail = settings.AlertEmail;
    options.alertPager = settings.AlertPager;
    options.alertByte = settings.AlertByte;
    options.inactivityDelay = settings.InactivityDelay;
    options.stripLF = stripLF;
    options.email0 = settings.EMail0;
    options.userPage = pagerConfig.personalId;
    options.pagerChars = pagerConfig.charsPerPage;
    m_watchdog->setOptions(options);
}
