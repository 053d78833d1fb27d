#include "app/ui/MainMenus.h"

#include "app/ListPopup.h"
#include "app/MainMenuCommands.h"
#include "app/MainState.h"
#include "display/BulletinDisplay.h"
#include "display/ProductRequests.h"
#include "images/ui/ImageController.h"
#include "ingest/EngineControl.h"
#include "notify/Emailer.h"
#include "notify/Pager.h"
#include "notify/ui/NotifyWindows.h"
#include "observations/ui/ObservationWindows.h"

#include <QAction>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

namespace {
const char* const kCategoryMenus[8] = {"&Forecasts", "&Warnings", "&Observations", "&Summaries",
                                       "&River",     "&AG/Hydro", "&Misc",         "&Tropical"};
const char* const kCategoryNames[8] = {"mnuForecasts", "mnuWarnings", "mnuObservations",
                                       "mnuSummaries", "mnuRiver",    "mnuAG",
                                       "mnuMisc",      "mnuHurr"};
const QString kWebsite = QStringLiteral("https://www.weather.gov/emwin/");
} // namespace

MainMenus::MainMenus(QMainWindow& window, MainState& state, MainMenuCommands& commands,
                     ListPopup& popup, Windows windows)
    : QObject(&window), m_window(window), m_state(state), m_commands(commands), m_listPopup(popup),
      m_observations(windows.observations), m_images(windows.images), m_notify(windows.notify)
{
    buildFileMenu();
    buildProductsMenu();
    buildQuickMenu();
    buildOptionsMenu();
    buildAddInsMenu();
    buildEditMenu();
    buildHelpMenu();
    buildListPopup();
    buildShortMenu();
}

QMenu* MainMenus::addHeader(const QString& caption)
{
    QMenu* menu = m_window.menuBar()->addMenu(caption);
    menu->setToolTipsVisible(true);
    m_header << menu;
    return menu;
}

QAction* MainMenus::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void MainMenus::buildFileMenu()
{
    QMenu* file = addHeader(QStringLiteral("&File"));
    connect(addItem(file, QStringLiteral("mnuImages"), QStringLiteral("&Image Menu...")),
            &QAction::triggered, &m_images, [this] { m_images.newViewer(); });
    QAction* slideShow =
        addItem(file, QStringLiteral("mnuSlideShow"), QStringLiteral("Slidesho&w"));
    slideShow->setCheckable(true);
    SlideShow& show = m_images.slideShow();
    connect(slideShow, &QAction::triggered, &show, [slideShow, &show] {
        // The check mark follows the slide show, not the click.
        slideShow->setChecked(show.checked());
        show.toggle();
    });
    connect(&show, &SlideShow::checkedChanged, slideShow, &QAction::setChecked);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print")),
            &QAction::triggered, this, &MainMenus::printRequested);
    connect(addItem(file, QStringLiteral("mnuPrintSetup"), QStringLiteral("Pri&nt Setup...")),
            &QAction::triggered, this, &MainMenus::printSetupRequested);
    connect(addItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save File...")),
            &QAction::triggered, this, &MainMenus::saveRequested);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuEmail"), QStringLiteral("Send to &E-Mail...")),
            &QAction::triggered, &m_notify, &NotifyWindows::mnuEmail_Click);
    connect(addItem(file, QStringLiteral("mnuPage"), QStringLiteral("Send to Pa&ger...")),
            &QAction::triggered, &m_notify, &NotifyWindows::mnuPage_Click);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuConfig"), QStringLiteral("&Configuration...")),
            &QAction::triggered, this, &MainMenus::configRequested);
    QAction* exit = addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &MainMenus::exitRequested);
}

void MainMenus::buildProductsMenu()
{
    QMenu* products = addHeader(QStringLiteral("&Products"));
    ProductRequests& requests = m_state.requests();
    for (int s = 0; s < 8; ++s) {
        QMenu* category = products->addMenu(QLatin1String(kCategoryMenus[s]));
        category->setObjectName(QLatin1String(kCategoryNames[s]));
        for (int i = 0; i < MenuDefinitions::ItemsPerSection; ++i) {
            QAction* item = category->addAction(QString());
            item->setVisible(false);
            connect(item, &QAction::triggered, this,
                    [&requests, item] { requests.listCategory(item->data().toString()); });
            m_categoryItems[s] << item;
        }
    }
    products->addSeparator();
    connect(
        addItem(products, QStringLiteral("mnuBulletinText"), QStringLiteral("All Text Products")),
        &QAction::triggered, this, [&requests] { requests.listAllBulletins(); });
    // "All AFOS Products" has no action of its own.
    addItem(products, QStringLiteral("mnuAFOSList"), QStringLiteral("All AFOS Products"));
    connect(addItem(products, QStringLiteral("mnuImageList"), QStringLiteral("All Images")),
            &QAction::triggered, &m_images.imageList(), &ImageList::listImages);
    connect(addItem(products, QStringLiteral("mnuMetar"), QStringLiteral("METAR Reports")),
            &QAction::triggered, this, &MainMenus::metarRequested);
    connect(addItem(products, QStringLiteral("mnuWarningMap"), QStringLiteral("Warning Ma&p")),
            &QAction::triggered, this, &MainMenus::mapRequested);
}

void MainMenus::buildQuickMenu()
{
    QMenu* quick = addHeader(QStringLiteral("&Quick"));
    ProductRequests& requests = m_state.requests();
    for (int i = 0; i < MenuDefinitions::QuickCount; ++i) {
        QAction* item = quick->addAction(QString());
        item->setVisible(false);
        connect(item, &QAction::triggered, this,
                [&requests, item] { requests.quickItem(item->data().toString()); });
        m_quick << item;
    }
    quick->addSeparator();
    int index = 0;
    for (const char* caption : {"Logfile", "Clear Logfile", "Status"}) {
        connect(addItem(quick, QStringLiteral("mnuQuickWx"), QLatin1String(caption)),
                &QAction::triggered, this, [&requests, index] { requests.weatherFile(index); });
        ++index;
    }
}

void MainMenus::buildOptionsMenu()
{
    QMenu* options = addHeader(QStringLiteral("&Options"));
    connect(addItem(options, QStringLiteral("mnuAlarm"), QStringLiteral("&Alarms...")),
            &QAction::triggered, this, &MainMenus::alarmsRequested);
    options->addSeparator();
    EngineControl& engine = m_state.engine();
    m_hideIngest = addItem(options, QStringLiteral("mnuHideIngest"), QStringLiteral("Hide Ingest"));
    m_hideIngest->setCheckable(true);
    connect(m_hideIngest, &QAction::triggered, this, [this, &engine] {
        // The check mark follows the engine state, not the click.
        m_hideIngest->setChecked(engine.hideIngestChecked());
        engine.toggleIngestWindows();
    });
    connect(&engine, &EngineControl::hideIngestCheckedChanged, m_hideIngest, &QAction::setChecked);

    ProductRequests& requests = m_state.requests();
    m_internetForce =
        addItem(options, QStringLiteral("mnuInternetForce"), QStringLiteral("Internet Mode"));
    m_internetForce->setCheckable(true);
    connect(m_internetForce, &QAction::toggled, &requests, &ProductRequests::setInternetMode);
    connect(&requests, &ProductRequests::internetModeChanged, m_internetForce,
            &QAction::setChecked);

    m_suspendEmail =
        addItem(options, QStringLiteral("mnuSuspendEmail"), QStringLiteral("Suspend EMail"));
    m_suspendEmail->setCheckable(true);
    connect(m_suspendEmail, &QAction::toggled, &m_state.emailer(), &Emailer::setSuspended);
    m_suspendPage =
        addItem(options, QStringLiteral("mnuSuspendPage"), QStringLiteral("Suspend Paging"));
    m_suspendPage->setCheckable(true);
    connect(m_suspendPage, &QAction::toggled, &m_state.pager(), &Pager::setSuspended);
    m_mute = addItem(options, QStringLiteral("mnuMute"), QStringLiteral("&Mute Alarm\tF10"));
    m_mute->setEnabled(false); // enabled while an alarm sound runs
    connect(m_mute, &QAction::triggered, this, &MainMenus::muteRequested);
}

void MainMenus::buildAddInsMenu()
{
    QMenu* addIns = addHeader(QStringLiteral("&Add-ins"));
    connect(addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("FTP Ingestor")),
            &QAction::triggered, this, &MainMenus::ftpRequested);
    connect(addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("Paging Setup")),
            &QAction::triggered, this, [this] { m_commands.openAddIn(1); });
    int index = 1;
    for (const char* caption : {"Warning Plot", "WXPlot Setup"}) {
        QAction* item = addItem(addIns, QStringLiteral("mnuWXPlot"), QLatin1String(caption));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, index] { m_images.wxPlot().plot(index); });
        m_wxPlot << item;
        ++index;
    }
    QAction* afos = addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("AFOS Graphics"));
    afos->setVisible(false);
    connect(afos, &QAction::triggered, this, [this] { m_commands.openAddIn(3); });
    // Hidden unless a test product ("testprod.*") is in the program directory.
    m_alarmTest = addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("Alarm Test"));
    m_alarmTest->setVisible(false);
    connect(m_alarmTest, &QAction::triggered, this, [this] { m_commands.openAddIn(4); });
}

void MainMenus::buildEditMenu()
{
    QMenu* edit = addHeader(QStringLiteral("&Edit"));
    // Edit commands act on the text control that has the focus.
    const char* const captions[5] = {"&Undo", "Cu&t", "&Copy", "&Paste", "&Delete"};
    for (int i = 0; i < 5; ++i) {
        connect(addItem(edit, QStringLiteral("mEdit"), QLatin1String(captions[i])),
                &QAction::triggered, this, [this, i] { emit editRequested(i); });
        if (i == 0)
            edit->addSeparator();
    }
    edit->addSeparator();
    BulletinDisplay& bulletin = m_state.bulletin();
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Find\tF3")),
            &QAction::triggered, this, [&bulletin] { bulletin.FindText(0); });
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("Find &Next\tF4")),
            &QAction::triggered, this, [&bulletin] { bulletin.FindText(1); });
    connect(addItem(edit, QStringLiteral("mnuZoneSearch"), QStringLiteral("&Zone Search")),
            &QAction::triggered, &m_observations, &ObservationWindows::mnuZoneSearch_Click);
}

void MainMenus::buildHelpMenu()
{
    QMenu* help = addHeader(QStringLiteral("&Help"));
    const char* const captions[7] = {"About...",          "Filenames",  "Location Identifiers",
                                     "AFOS Graphic List", "METAR ID's", "UGC Code",
                                     "FIPS Code"};
    for (int i = 0; i < 7; ++i) {
        QAction* item = addItem(help, QStringLiteral("mnuAbout"), QLatin1String(captions[i]));
        if (i == 0)
            connect(item, &QAction::triggered, this, &MainMenus::aboutRequested);
        else if (i == 4)
            connect(item, &QAction::triggered, &m_observations, &ObservationWindows::showMetarIds);
        else if (i == 5)
            connect(item, &QAction::triggered, &m_observations, &ObservationWindows::showZoneCodes);
        else
            connect(item, &QAction::triggered, this, [this, i] { m_commands.openHelp(i); });
    }
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuweb"), QStringLiteral("Website")), &QAction::triggered,
            this, [] { QDesktopServices::openUrl(QUrl(kWebsite)); });
}

void MainMenus::buildListPopup()
{
    m_popup = new QMenu(&m_window);
    m_popup->setObjectName(QStringLiteral("mnuPopup"));
    m_popup->setToolTipsVisible(true);
    const char* const captions[10] = {
        "List All Bulletins", "List all AFOS", "List All Images", nullptr,
        "Auto-Update",        nullptr,         "Add to Alarms",   "Print",
        "Send to Pager",      "Send to Email"};
    for (int i = 0; i < 10; ++i) {
        QAction* item =
            captions[i] ? m_popup->addAction(QLatin1String(captions[i])) : m_popup->addSeparator();
        item->setObjectName(QStringLiteral("mnuList%1").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { emit listPopupRequested(i); });
        m_list << item;
    }
    m_popup->setDefaultAction(m_list[0]);
    m_list[1]->setVisible(false);
    m_list[4]->setCheckable(true);
    connect(&m_state.requests(), &ProductRequests::autoUpdateChanged, m_list[4],
            &QAction::setChecked);
    for (int i : {2, 6, 7, 8, 9})
        m_list[i]->setEnabled(m_listPopup.available(i));
}

void MainMenus::buildShortMenu()
{
    m_shortMenu = new QMenu(&m_window);
    for (int i = 0; i < NewProducts::Count; ++i) {
        QAction* item = m_shortMenu->addAction(NewProducts::None);
        item->setObjectName(QStringLiteral("mnuNewProd"));
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, i] { emit newProductRequested(i); });
        m_newProd << item;
    }
    connect(&m_state.newProducts, &NewProducts::changed, this, &MainMenus::setNewProducts);
}

void MainMenus::setNewProducts(const QStringList& entries)
{
    for (int i = 0; i < m_newProd.size(); ++i) {
        const QString entry = entries.value(i, NewProducts::None);
        m_newProd[i]->setText(entry);
        m_newProd[i]->setEnabled(entry != NewProducts::None);
    }
}

void MainMenus::setWxPlotVisible(bool visible)
{
    for (QAction* item : m_wxPlot)
        item->setVisible(visible);
}

void MainMenus::applyDefinitions(const MenuDefinitions& menus)
{
    for (int s = 0; s < 8; ++s) {
        const QList<MenuEntry>& entries = menus.section(s);
        for (int i = 0; i < m_categoryItems[s].size(); ++i) {
            QAction* item = m_categoryItems[s][i];
            const bool defined = i < entries.size();
            item->setVisible(defined);
            if (defined) {
                item->setText(entries[i].caption);
                item->setData(entries[i].tag);
            }
        }
    }
    const QList<MenuEntry>& quick = menus.quickItems();
    for (int i = 0; i < m_quick.size(); ++i) {
        const bool defined = i < quick.size();
        m_quick[i]->setVisible(defined);
        if (defined) {
            m_quick[i]->setText(quick[i].caption);
            m_quick[i]->setData(quick[i].tag);
        }
    }
}
