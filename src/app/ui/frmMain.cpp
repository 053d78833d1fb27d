#include "app/ui/frmMain.h"

#include "alarms/AlarmActions.h"
#include "alarms/AlarmSound.h"
#include "alarms/ui/QtSoundOutput.h"
#include "alarms/ui/ScrollWindows.h"
#include "alarms/ui/frmAlarmBox.h"
#include "app/DesktopAlarms.h"
#include "app/ListPopup.h"
#include "app/MainLayout.h"
#include "app/MainMenuCommands.h"
#include "app/MainState.h"
#include "app/StartupSequence.h"
#include "app/ui/EditCommands.h"
#include "app/ui/ListPane.h"
#include "app/ui/MainMenus.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmConfig.h"
#include "display/BulletinDisplay.h"
#include "display/BulletinPrinter.h"
#include "display/GphViewer.h"
#include "display/ProductRequests.h"
#include "display/SaveFile.h"
#include "display/ui/QtTextPrinter.h"
#include "ftp/ui/frmFTP.h"
#include "images/ui/ImageController.h"
#include "ingest/DataInPoller.h"
#include "ingest/EngineControl.h"
#include "map/ActiveWarnings.h"
#include "map/ui/frmMap.h"
#include "notify/ui/NotifyWindows.h"
#include "observations/MetarSearch.h"
#include "observations/ui/ObservationWindows.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVBoxLayout>

namespace {
int toPixels(double twips)
{
    return qRound(twips / frmMain::TwipsPerPixel);
}

QString lineEnds(const QString& text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}
} // namespace

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
    m_smallScreen = isSmallScreen();
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

frmMain::~frmMain()
{
    // The alarm services outlive this window; its sound and windows do not.
    m_state.alarmSound().setOutput(nullptr);
    m_state.alarmActions().setScrollWindows(nullptr);
}

// ---------------------------------------------------------------- controls

void frmMain::buildCentral()
{
    auto* central = new QWidget(this);
    auto* top = new QVBoxLayout(central);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    // Request buttons from the button file, hidden until defined.
    auto* buttonBar = new QWidget;
    buttonBar->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    auto* buttonRow = new QHBoxLayout(buttonBar);
    buttonRow->setContentsMargins(2, 2, 2, 2);
    for (int i = 0; i < MenuDefinitions::ButtonCount; ++i) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        button->setVisible(false);
        connect(button, &QPushButton::clicked, this, [this, button] {
            m_state.requests().productButton(button->property("tag").toString());
        });
        cmdButton << button;
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    top->addWidget(buttonBar);

    // Lists and bulletin area are placed by Form_Resize.
    m_canvas = new QWidget;
    m_canvas->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_pane = new ListPane(m_state, *m_menus->mnuPopup(), m_canvas);
    connect(m_pane->cmdShrink(), &QPushButton::clicked, this, &frmMain::cmdShrink_Click);
    connect(m_pane->cmdMetar(), &QPushButton::clicked, this, &frmMain::cmdMetar_Click);
    connect(m_pane->cmdImageDisplay(), &QPushButton::clicked, m_images,
            [this] { m_images->newViewer(); });

    // A plain-text view: a bulletin or log of megabytes stays quick without wrapping.
    txtDisplay = new QPlainTextEdit(m_canvas);
    txtDisplay->setObjectName(QStringLiteral("txtDisplay"));
    txtDisplay->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtDisplay->setUndoRedoEnabled(true);
    QFont fixed(QStringLiteral("Courier New"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    txtDisplay->setFont(fixed);
    txtDisplay->installEventFilter(this);
    txtDisplay->setVisible(false);
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
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    QIcon icon = windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    cSysTray1 = new QSystemTrayIcon(icon, this);
    cSysTray1->setToolTip(windowTitle());
    cSysTray1->setContextMenu(m_menus->mnuShortMenu());
    connect(cSysTray1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    restoreFromTray();
            });
    cSysTray1->show();
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
    connect(m_menus, &MainMenus::mapRequested, this, &frmMain::mnuWarningMap_Click);
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
            [this](const QString& text) { showDisplayText(text); });
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

void frmMain::showDisplayText(const QString& text)
{
    txtDisplay->setPlainText(lineEnds(text));
    QTextCursor cursor = txtDisplay->textCursor();
    cursor.movePosition(QTextCursor::Start);
    txtDisplay->setTextCursor(cursor);
}

void frmMain::editCommand(int command)
{
    EditCommands::apply(QApplication::focusWidget(), command);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    // Typed characters are discarded in the bulletin area; navigation,
    // selection and the clipboard shortcuts still work.
    if (watched == txtDisplay && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
        const bool editing = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
                             key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                             key->key() == Qt::Key_Tab;
        if (!command && (editing || !key->text().isEmpty()))
            return true;
        if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Undo))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QtTextPrinter& frmMain::printer()
{
    // One printer for the window and the alarms, so that Printer Setup applies to both.
    if (auto* shared = dynamic_cast<QtTextPrinter*>(m_state.services().printer))
        return *shared;
    if (!m_printer)
        m_printer = std::make_unique<QtTextPrinter>();
    return *m_printer;
}

void frmMain::mnuPrint_Click()
{
    BulletinPrinter(printer(), *m_state.services().prompter)
        .printShown(txtDisplay->toPlainText(), m_state.tables.printerFontSize());
}

void frmMain::mnuPrintSetup_Click()
{
    printer().setup(this);
}

void frmMain::mnuSave_Click()
{
    SaveFile save(m_state.display, m_state.settings, *m_state.services().store,
                  *m_state.services().prompter);
    if (!save.canSave())
        return;
    QFileDialog dialog(this, SaveFile::DialogTitle, save.initialPath(), SaveFile::Filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    save.saveReporting(dialog.selectedFiles().first());
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

void frmMain::mnuWarningMap_Click()
{
    if (!m_map) {
        const frmMap::Context context{
            m_state.warnings(),
            m_state.outlines(),
            m_state.outlinesError(),
            m_state.settings,
            *m_state.services().store,
            [this](const ActiveWarning& w) {
                m_state.display.setDisplay(BulletinDisplay::cleanBulletin(w.productText.toLatin1()),
                                           w.productName);
                restoreFromTray();
                showDisplay();
            }};
        m_map = new frmMap(context, this);
        m_map->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}

void frmMain::mnuMute_Click()
{
    m_state.alarmSound().mute();
}

// ---------------------------------------------------------------- alarms

void frmMain::bindAlarms()
{
    m_soundOutput = new QtSoundOutput(m_state.status, this);
    m_state.alarmSound().setOutput(m_soundOutput);
    const frmScroll::Context scroll{m_state.settings, *m_state.services().store, m_state.display,
                                    [this] { mnuMute_Click(); },
                                    [this] {
                                        restoreFromTray();
                                        showDisplay();
                                    }};
    m_scrollWindows = new ScrollWindows(scroll, this);
    m_state.alarmActions().setScrollWindows(m_scrollWindows);

    cmdMute = new QPushButton(QStringLiteral("Mute"));
    cmdMute->setObjectName(QStringLiteral("cmdMute"));
    cmdMute->setToolTip(QStringLiteral("Mute Alarm (F10)"));
    cmdMute->setStyleSheet(QStringLiteral("background: rgb(255,0,0); color: white;"));
    cmdMute->setVisible(false); // shown while an alarm sound runs
    statusBar()->addPermanentWidget(cmdMute);
    auto* cmdMap = new QPushButton(QStringLiteral("Map"));
    cmdMap->setObjectName(QStringLiteral("cmdMap"));
    cmdMap->setToolTip(QStringLiteral("Warning Map"));
    statusBar()->addPermanentWidget(cmdMap);
    connect(cmdMap, &QPushButton::clicked, this, &frmMain::mnuWarningMap_Click);
    connect(cmdMute, &QPushButton::clicked, this, &frmMain::mnuMute_Click);
    connect(&m_state.alarmSound(), &AlarmSound::runningChanged, this, [this](bool running) {
        m_menus->mnuMute()->setEnabled(running);
        cmdMute->setVisible(running);
    });
    connect(m_menus, &MainMenus::alarmsRequested, this, [this] { mnuAlarm_Click(); });
    // A desktop notification's "Show": the product is in the bulletin area.
    connect(&m_state.desktopAlarms(), &DesktopAlarms::showRequested, this, [this] {
        restoreFromTray();
        showDisplay();
    });
    connect(&m_state.desktopAlarms(), &DesktopAlarms::activeAlarmsChanged, this,
            &frmMain::updateTrayToolTip);
}

void frmMain::updateTrayToolTip(int activeAlarms)
{
    if (!cSysTray1)
        return;
    QString tip = windowTitle();
    if (activeAlarms > 0)
        tip += QStringLiteral("\n%1 active alarm%2 since the last mute")
                   .arg(activeAlarms)
                   .arg(activeAlarms == 1 ? QString() : QStringLiteral("s"));
    cSysTray1->setToolTip(tip);
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
    if (!m_alarmBox) {
        const AlarmEditor::Context context{m_state.programDir(),
                                           m_state.alarms,
                                           m_state.settings,
                                           *m_state.services().store,
                                           m_state.tables,
                                           *m_state.services().prompter,
                                           m_state.emailBook.names(),
                                           m_state.pagerConfig.definedGroups()};
        m_alarmBox = new frmAlarmBox(context, this);
    }
    if (!preset.isEmpty())
        m_alarmBox->setHeader(preset);
    m_alarmBox->show();
    m_alarmBox->raise();
    m_alarmBox->activateWindow();
}

// ---------------------------------------------------------------- layout

bool frmMain::compactMode() const
{
    return m_pane->cmdShrink()->text() == QLatin1String(">");
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize()
{
    if (isMinimized())
        return;
    const MainLayout layout(m_state.settings.LongHeader != 0, m_smallScreen);
    const MainLayout::Geometry g =
        layout.resize(qRound(width() * TwipsPerPixel), qRound(height() * TwipsPerPixel));
    if (g.windowHeight) {
        const int h = toPixels(*g.windowHeight);
        QTimer::singleShot(0, this, [this, h] {
            if (height() < h && !isMinimized() && !isMaximized())
                resize(width(), h);
        });
    }
    const int listWidth = toPixels(g.listWidth);
    const int controls = m_pane->controlsHeight();
    // The area keeps its computed height unless the controls under the
    // lists would be cut off.
    const int height = std::max(20, std::min(toPixels(g.height), m_canvas->height() - controls));
    m_pane->place(listWidth, height);
    txtDisplay->setGeometry(toPixels(g.displayLeft) + 2, 0, std::max(1, toPixels(g.displayWidth)),
                            height);
    QFont font = txtDisplay->font();
    font.setPointSize(m_fontSize && *m_fontSize > 0 ? *m_fontSize : g.defaultFontSize);
    txtDisplay->setFont(font);
}

void frmMain::cmdShrink_Click()
{
    if (isMinimized() || isMaximized())
        return;
    const MainLayout layout(m_state.settings.LongHeader != 0, m_smallScreen);
    if (!compactMode()) {
        m_pane->cmdShrink()->setToolTip(QStringLiteral("Expand Screen"));
        for (int i : {4, 5, 6})
            m_menus->mnuHeader()[i]->menuAction()->setVisible(false);
        resize(toPixels(layout.compactWidth()), height());
        m_pane->cmdShrink()->setText(QStringLiteral(">"));
    } else {
        m_pane->cmdShrink()->setToolTip(QStringLiteral("Compress Screen"));
        resize(toPixels(layout.expandedWidth()), height());
        m_pane->cmdShrink()->setText(QStringLiteral("<"));
        for (int i : {4, 5, 6})
            m_menus->mnuHeader()[i]->menuAction()->setVisible(true);
    }
    m_pane->cmdImageDisplay()->setFocus();
}

void frmMain::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // Minimised, the window lives on as the tray icon when there is a tray.
    if (event->type() == QEvent::WindowStateChange && isMinimized() && cSysTray1)
        QTimer::singleShot(0, this, &QWidget::hide);
}

void frmMain::restoreFromTray()
{
    // Back as it was before it was minimised or hidden: a maximised window
    // stays maximised.
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
    m_smallScreen = true;
    setGeometry(0, 0, toPixels(9570), toPixels(6795));
    QFont font = txtDisplay->font();
    font.setPointSize(8);
    txtDisplay->setFont(font);
}

void frmMain::applyWindowSize(double widthTwips, double heightTwips)
{
    resize(std::max(100, toPixels(widthTwips)), std::max(100, toPixels(heightTwips)));
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

frmConfig& frmMain::configDialog()
{
    if (!m_config) {
        m_config = new frmConfig(m_state, this);
        m_config->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_config, &frmConfig::wxPlotFound, this, [this] { setWxPlotVisible(true); });
        connect(m_config, &frmConfig::saved, this, &frmMain::Form_Resize);
        connect(m_config, &frmConfig::saved, this, [this] {
            if (m_map)
                m_map->locationChanged();
        });
    } else {
        m_config->Form_Load();
    }
    return *m_config;
}

void frmMain::showConfigModeless()
{
    configDialog().show();
}

void frmMain::hideConfig()
{
    if (m_config)
        m_config->hide();
}

void frmMain::execConfigModal()
{
    frmConfig& dialog = configDialog();
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.exec();
    delete m_config;
}

void frmMain::mnuConfig_Click()
{
    frmConfig& dialog = configDialog();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

void frmMain::applyDefinitions(const MenuDefinitions& menus)
{
    const QList<MenuEntry>& buttons = menus.buttons();
    for (int i = 0; i < cmdButton.size(); ++i) {
        const bool defined = i < buttons.size();
        cmdButton[i]->setVisible(defined);
        if (defined) {
            cmdButton[i]->setText(buttons[i].caption);
            cmdButton[i]->setToolTip(buttons[i].tag);
            cmdButton[i]->setProperty("tag", buttons[i].tag);
        }
    }
    m_menus->applyDefinitions(menus);
    if (const auto scheme = menus.colourScheme()) {
        static const char* const styles[3] = {"background: white; color: black;",
                                              "background: black; color: rgb(255,255,0);",
                                              "background: black; color: rgb(0,255,0);"};
        if (*scheme >= 0 && *scheme <= 2)
            txtDisplay->setStyleSheet(QLatin1String(styles[*scheme]));
    }
    m_fontSize = menus.fontSize();
    if (m_fontSize && *m_fontSize > 0) {
        QFont font = txtDisplay->font();
        font.setPointSize(*m_fontSize);
        txtDisplay->setFont(font);
    }
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
    return std::make_pair(width() * TwipsPerPixel, height() * TwipsPerPixel);
}

void frmMain::hideTrayIcon()
{
    if (cSysTray1)
        cSysTray1->hide();
}

void frmMain::closeDialogs()
{
    if (m_config)
        m_config->close();
    if (m_alarmBox)
        m_alarmBox->closeForShutdown();
    m_scrollWindows->closeAll();
    if (m_ftp)
        m_ftp->close();
    m_observations->closeAll();
    m_images->closeAll();
    m_notify->closeAll();
}
