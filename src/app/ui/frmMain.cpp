#include "app/ui/frmMain.h"

#include "alarms/AlarmSound.h"
#include "app/DesktopAlarms.h"
#include "app/ListPopup.h"
#include "app/MainMenuCommands.h"
#include "app/MainState.h"
#include "app/StartupSequence.h"
#include "app/ui/BulletinFileCommands.h"
#include "app/ui/BulletinView.h"
#include "app/ui/ConfigDialogSlot.h"
#include "app/ui/EditCommands.h"
#include "app/ui/ListPane.h"
#include "app/ui/MainAlarmWindows.h"
#include "app/ui/MainAreaLayout.h"
#include "app/ui/MainMenus.h"
#include "app/ui/MainTray.h"
#include "app/ui/RequestButtonBar.h"
#include "app/ui/WarningMapSlot.h"
#include "app/ui/frmAbout.h"
#include "display/BulletinDisplay.h"
#include "display/GphViewer.h"
#include "display/ProductRequests.h"
#include "ftp/ui/frmFTP.h"
#include "images/ui/ImageController.h"
#include "ingest/DataInPoller.h"
#include "ingest/EngineControl.h"
#include "notify/ui/NotifyWindows.h"
#include "observations/MetarSearch.h"
#include "observations/ui/ObservationWindows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

frmMain::frmMain(MainState& state, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_commands(std::make_unique<MainMenuCommands>(state)),
      m_listPopup(std::make_unique<ListPopup>(state.requests(), *state.services().prompter)),
      m_shutdown(std::make_unique<ShutdownSequence>(state.programDir(), state.settings,
                                                    *state.services().store, state.engine(), *this,
                                                    *state.services().prompter))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantorel v1.7"));
    m_shutdown->setMail(&state.mail(), state.services().clock);
    m_files = std::make_unique<BulletinFileCommands>(state, *this);
    m_map = std::make_unique<WarningMapSlot>(state, *this, [this] {
        restoreFromTray();
        showDisplay();
    });
    m_config = std::make_unique<ConfigDialogSlot>(
        state, *this,
        ConfigDialogSlot::Hooks{[this] { setWxPlotVisible(true); },
                                [this] {
                                    Form_Resize();
                                    m_map->locationChanged();
                                }});
    m_images =
        new ImageController({state.settings, *state.services().store, state.status, state.display,
                             state.lists, *state.services().prompter, *state.services().launcher,
                             *state.services().clock, state.programDir()},
                            *this, this);
    // Mail and paging dialogs: File menu, list pop-up, Add-ins > Paging Setup.
    m_notify = new NotifyWindows(
        {state.emailer(), state.emailBook, state.manualPage(), state.pagerConfig, state.pager(),
         state.settings, *state.services().store, *state.services().prompter, state.programDir()},
        *this);
    m_commands->setPagerSetup([this] { m_notify->showPagerSetup(); });
    ListPopup::Handlers popup;
    popup.print = [this] { mnuPrint_Click(); };
    popup.listImages = [this] { m_images->imageList().listImages(); };
    popup.afosPrint = [this](const QString& entry) { m_state.gphViewer().AFOSPrint(entry); };
    popup.addToAlarms = [this] { addToAlarms(); };
    popup.page = [this] { m_notify->mnuPage_Click(); };
    popup.email = [this] { m_notify->mnuEmail_Click(); };
    m_listPopup->setHandlers(popup);
    m_observations = new ObservationWindows(state.programDir(), state.tables, state.settings,
                                            state.display, *state.services().prompter, *this);
    m_menus = new MainMenus(*this, state, *m_commands, *m_listPopup,
                            {*m_observations, *m_images, *m_notify});
    buildCentral();
    buildTray();
    bindMenus();
    bindState();
    bindShortcuts();
    bindAlarms();
}

frmMain::~frmMain() = default;

// ---------------------------------------------------------------- controls

void frmMain::buildCentral()
{
    auto* central = new QWidget(this);
    auto* top = new QVBoxLayout(central);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    // Request buttons from the button file, hidden until defined.
    m_buttonBar = new RequestButtonBar(m_state.requests());
    top->addWidget(m_buttonBar);

    // Lists and bulletin area are placed by Form_Resize.
    m_canvas = new QWidget;
    m_canvas->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_pane = new ListPane(m_state, *m_menus->mnuPopup(), m_canvas);
    connect(m_pane->cmdShrink(), &QPushButton::clicked, this, &frmMain::cmdShrink_Click);
    connect(m_pane->cmdMetar(), &QPushButton::clicked, this, &frmMain::cmdMetar_Click);
    connect(m_pane->cmdImageDisplay(), &QPushButton::clicked, m_images,
            [this] { m_images->newViewer(); });

    txtDisplay = new BulletinView(m_canvas);
    txtDisplay->setVisible(false);
    m_layout = std::make_unique<MainAreaLayout>(*this, *m_canvas, *m_pane, *txtDisplay, *m_menus,
                                                m_state.settings);
    m_layout->setSmallScreen(isSmallScreen());
    top->addWidget(m_canvas, 1);

    txtNETLink = new QLineEdit(central);
    txtNETLink->setObjectName(QStringLiteral("txtNETLink"));
    txtNETLink->setVisible(false);

    txtStatus = new QLabel;
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setFrameShape(QFrame::StyledPanel);
    txtStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(txtStatus, 1);
    statusBar()->setSizeGripEnabled(false);
    setCentralWidget(central);
}

void frmMain::buildTray()
{
    m_tray = new MainTray(*this, m_menus->mnuShortMenu(), [this] { restoreFromTray(); });
}

// ---------------------------------------------------------------- binding

void frmMain::bindMenus()
{
    connect(m_menus, &MainMenus::printRequested, this, &frmMain::mnuPrint_Click);
    connect(m_menus, &MainMenus::printSetupRequested, this, &frmMain::mnuPrintSetup_Click);
    connect(m_menus, &MainMenus::saveRequested, this, &frmMain::mnuSave_Click);
    connect(m_menus, &MainMenus::configRequested, this, &frmMain::mnuConfig_Click);
    connect(m_menus, &MainMenus::exitRequested, this, &frmMain::mnuExit_Click);
    connect(m_menus, &MainMenus::metarRequested, this, &frmMain::cmdMetar_Click);
    connect(m_menus, &MainMenus::muteRequested, this, &frmMain::mnuMute_Click);
    connect(m_menus, &MainMenus::newProductRequested, this, &frmMain::mnuNewProd_Click);
    connect(m_menus, &MainMenus::editRequested, this, &frmMain::editCommand);
    connect(m_menus, &MainMenus::ftpRequested, this, &frmMain::mnuFTP_Click);
    connect(m_menus, &MainMenus::mapRequested, this, [this] { m_map->present(); });
    connect(m_menus, &MainMenus::aboutRequested, this, [this] {
        frmAbout about(*m_state.services().launcher, this);
        about.exec();
    });
    connect(m_menus, &MainMenus::listPopupRequested, this, [this](int index) {
        const QModelIndexList rows =
            m_pane->list(ListKind::Filtered)->selectionModel()->selectedRows();
        m_listPopup->choose(index, !rows.isEmpty(),
                            rows.isEmpty() ? QString() : rows.first().data().toString());
    });
}

void frmMain::bindState()
{
    connect(&m_state.status, &StatusLine::changed, txtStatus, &QLabel::setText);
    connect(&m_state.display, &DisplayState::changed, this,
            [this](const QString& text) { txtDisplay->showText(text); });
    connect(&m_state.engine(), &EngineControl::netLinkChanged, txtNETLink, &QLineEdit::setText);

    BulletinDisplay& bulletin = m_state.bulletin();
    bulletin.setTextSource([this] { return txtDisplay->toPlainText(); });
    connect(&bulletin, &BulletinDisplay::selectRequested, this, [this](int start, int len) {
        QTextCursor cursor = txtDisplay->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + len, QTextCursor::KeepAnchor);
        txtDisplay->setTextCursor(cursor);
        txtDisplay->setFocus();
    });
    connect(&bulletin, &BulletinDisplay::leaveCompactRequested, this, [this] {
        QApplication::processEvents();
        if (compactMode())
            cmdShrink_Click();
    });
    ProductRequests& requests = m_state.requests();
    connect(&requests, &ProductRequests::focusDisplay, this, [this] { txtDisplay->setFocus(); });
    connect(&requests, &ProductRequests::imageRequested, m_images, &ImageController::DisplayImage);
    requests.setImageListing([this] { m_images->imageList().listImages(); });
    connect(&m_images->imageList(), &ImageList::listingKindChosen, &requests,
            [&requests](const QString& kind) { requests.setListingRequest(kind); });
}

void frmMain::bindShortcuts()
{
    // Function keys act only without Shift, Ctrl or Alt: a shortcut for the
    // bare key does not fire for a modified one.
    BulletinDisplay& bulletin = m_state.bulletin();
    ProductRequests& requests = m_state.requests();
    const std::pair<Qt::Key, std::function<void()>> keys[] = {
        {Qt::Key_F3, [&bulletin] { bulletin.FindText(0); }},
        {Qt::Key_F4, [&bulletin] { bulletin.FindText(1); }},
        {Qt::Key_F7, [&requests] { requests.showOtherVersion(0); }},
        {Qt::Key_F8, [&requests] { requests.showOtherVersion(1); }},
        {Qt::Key_F10, [this] { mnuMute_Click(); }},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

void frmMain::mnuNewProd_Click(int index)
{
    if (!m_state.newProducts.filled(index))
        return;
    restoreFromTray();
    if (compactMode())
        cmdShrink_Click();
    if (index < m_state.lists.live().count())
        m_pane->selectLive(index);
}

// ---------------------------------------------------------------- display

void frmMain::editCommand(int command)
{
    EditCommands::apply(QApplication::focusWidget(), command);
}

void frmMain::mnuPrint_Click()
{
    m_files->print(txtDisplay->toPlainText());
}

void frmMain::mnuPrintSetup_Click()
{
    m_files->printSetup();
}

void frmMain::mnuSave_Click()
{
    m_files->save();
}

void frmMain::cmdMetar_Click()
{
    m_pane->cmdImageDisplay()->setFocus();
    QApplication::processEvents();
    m_state.metarSearch().askAndSearch();
}

void frmMain::mnuFTP_Click()
{
    // One modeless instance; closing it cancels its download.
    if (!m_ftp) {
        m_ftp = new frmFTP(m_state.ftp(), this);
        m_ftp->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_ftp->show();
    m_ftp->raise();
    m_ftp->activateWindow();
}

void frmMain::mnuMute_Click()
{
    m_state.alarmSound().mute();
}

// ---------------------------------------------------------------- alarms

void frmMain::bindAlarms()
{
    MainAlarmWindows::Hooks hooks;
    hooks.mute = [this] { mnuMute_Click(); };
    hooks.showBulletin = [this] {
        restoreFromTray();
        showDisplay();
    };
    hooks.soundRunning = [this](bool running) { m_menus->mnuMute()->setEnabled(running); };
    m_alarms = std::make_unique<MainAlarmWindows>(m_state, *this, *statusBar(), hooks);
    connect(m_menus, &MainMenus::alarmsRequested, this, [this] { mnuAlarm_Click(); });
    m_map->addButton(*statusBar());
    connect(&m_state.desktopAlarms(), &DesktopAlarms::activeAlarmsChanged, m_tray,
            &MainTray::setActiveAlarms);
}

void frmMain::addToAlarms()
{
    const QModelIndexList rows = m_pane->list(ListKind::Filtered)->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const QString entry = m_state.lists.filtered().text(rows.first().row());
    mnuAlarm_Click(ProductLists::fileNamePart(entry).left(8));
}

void frmMain::mnuAlarm_Click(const QString& preset)
{
    m_alarms->openEditor(preset);
}

// ---------------------------------------------------------------- layout

bool frmMain::compactMode() const
{
    return m_layout->compact();
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    m_layout->place();
}

void frmMain::cmdShrink_Click()
{
    m_layout->toggleCompact();
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the window lives on as the tray icon when there is a tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray->present())
        QTimer::singleShot(0, this, &QWidget::hide);
}

void frmMain::restoreFromTray()
{
    // Back as it was before it was minimised or hidden (maximised stays so).
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- start-up host

bool frmMain::Form_Load()
{
    StartupSequence startup(m_state, *this);
    const bool ok = startup.run();
    m_menus->mnuAlarmTest()->setVisible(m_commands->alarmTestAvailable());
    Form_Resize();
    return ok;
}

bool frmMain::isSmallScreen() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->geometry().width() == 640;
}

void frmMain::applySmallScreenLayout()
{
    m_layout->setSmallScreen(true);
    setGeometry(0, 0, MainAreaLayout::toPixels(9570), MainAreaLayout::toPixels(6795));
    txtDisplay->setPointSize(8);
}

void frmMain::applyWindowSize(double widthTwips, double heightTwips)
{
    resize(std::max(100, MainAreaLayout::toPixels(widthTwips)),
           std::max(100, MainAreaLayout::toPixels(heightTwips)));
}

void frmMain::showMainWindow()
{
    show();
}

void frmMain::hideMainWindow()
{
    hide();
}

void frmMain::processEvents()
{
    QApplication::processEvents();
}

void frmMain::setSuspendPageVisible(bool visible)
{
    m_menus->mnuSuspendPage()->setVisible(visible);
}

void frmMain::setWxPlotVisible(bool visible)
{
    m_menus->setWxPlotVisible(visible);
}

void frmMain::showConfigModeless()
{
    m_config->show();
}

void frmMain::hideConfig()
{
    m_config->hide();
}

void frmMain::execConfigModal()
{
    m_config->execModal();
}

void frmMain::mnuConfig_Click()
{
    m_config->present();
}

void frmMain::applyDefinitions(const MenuDefinitions& menus)
{
    m_buttonBar->showEntries(menus.buttons());
    m_menus->applyDefinitions(menus);
    if (const auto scheme = menus.colourScheme())
        txtDisplay->applyColourScheme(*scheme);
    const std::optional<int> fontSize = menus.fontSize();
    m_layout->setFontSize(fontSize);
    if (fontSize && *fontSize > 0)
        txtDisplay->setPointSize(*fontSize);
    m_state.requests().applyAutomaticStateFilters(menus.automaticStateFilters());
}

void frmMain::showDisplay()
{
    txtDisplay->setVisible(true);
}

void frmMain::reopenLastImage()
{
    m_images->reopenLastImage();
}

void frmMain::requestTextProduct(const QString& name)
{
    m_state.requests().requestByName(name);
    txtDisplay->setFocus();
}

void frmMain::setHideIngestVisible(bool visible)
{
    m_menus->mnuHideIngest()->setVisible(visible);
}

// ---------------------------------------------------------------- shutdown

void frmMain::mnuExit_Click()
{
    m_shutdown->exitFromMenu();
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    m_shutdown->windowClosing();
    event->accept();
}

std::optional<std::pair<double, double>> frmMain::windowSizeTwips() const
{
    if (isMinimized() || !isVisible())
        return std::nullopt;
    return std::make_pair(width() * MainAreaLayout::TwipsPerPixel,
                          height() * MainAreaLayout::TwipsPerPixel);
}

void frmMain::hideTrayIcon()
{
    m_tray->hide();
}

void frmMain::closeDialogs()
{
    m_config->close();
    m_alarms->closeAll();
    if (m_ftp)
        m_ftp->close();
    m_observations->closeAll();
    m_images->closeAll();
    m_notify->closeAll();
}
