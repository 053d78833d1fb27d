#include "app/ui/frmMain.h"

#include "alarms/AlarmTest.h"
#include "core/UgcSearch.h"
#include "app/MainState.h"
#include "core/MenuDefinitions.h"
#include "app/StartupSequence.h"
#include "app/ui/frmAbout.h"
#include "app/ui/frmConfig.h"
#include "display/BulletinDisplay.h"
#include "display/BulletinPrinter.h"
#include "display/GphViewer.h"
#include "display/MirrorFetcher.h"
#include "display/ProductRequests.h"
#include "display/SaveFile.h"
#include "display/XdotoolKeystrokes.h"
#include "display/ui/QtTextPrinter.h"
#include "ingest/DataInPoller.h"
#include "ingest/EngineControl.h"
#include "notify/Pager.h"
#include "platform/ErrorReport.h"
#include "platform/FileLister.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {
const char* const kCategoryMenus[8] = {"&Forecasts", "&Warnings", "&Observations", "&Summaries",
                                       "&River",     "&AG/Hydro", "&Misc",         "&Tropical"};
const char* const kCategoryNames[8] = {"mnuForecasts", "mnuWarnings", "mnuObservations",
                                       "mnuSummaries", "mnuRiver",    "mnuAG",
                                       "mnuMisc",      "mnuHurr"};
// Option index shown by each page of the list stack: List1..List4.
constexpr int kPageForOption[4] = {1, 0, 2, 3};
const QString kWebsite = QStringLiteral("https://www.weather.gov/emwin/");

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
    : QMainWindow(parent), m_state(state), m_display(std::make_unique<BulletinDisplay>(state)),
      m_fetcher(std::make_unique<MirrorFetcher>()),
      m_requests(std::make_unique<ProductRequests>(state, *m_display, *m_fetcher)),
      m_keys(std::make_unique<XdotoolKeystrokes>(*state.services().launcher)),
      m_gph(std::make_unique<GphViewer>(state, *m_keys))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantorel v1.7"));
    m_smallScreen = isSmallScreen();
    m_requests->setGphViewer(m_gph.get());
    m_requests->setZoneFinder(
        [this](const QString& code, const QString& product) -> std::optional<QString> {
            UgcSearch search(m_state.settings);
            try {
                if (search.FindUGC(code, product))
                    return search.SegmentText();
            } catch (const RuntimeError&) {
            }
            return std::nullopt;
        });
    buildMenus();
    buildCentral();
    buildTray();
    bindState();
    bindShortcuts();
}

frmMain::~frmMain() = default;

// ---------------------------------------------------------------- menus

QMenu* frmMain::addHeader(const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setToolTipsVisible(true);
    mnuHeader << menu;
    return menu;
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* frmMain::laterItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = addItem(menu, name, caption);
    action->setEnabled(false);
    action->setToolTip(NotInThisBuild);
    return action;
}

void frmMain::buildMenus()
{
    buildFileMenu();
    buildProductsMenu();
    buildQuickMenu();
    buildOptionsMenu();
    buildAddInsMenu();
    buildEditMenu();
    buildHelpMenu();
    buildListPopup();
    mnuShortMenu = new QMenu(this);
    for (int i = 0; i < 5; ++i) {
        QAction* item = mnuShortMenu->addAction(QStringLiteral("none"));
        item->setObjectName(QStringLiteral("mnuNewProd"));
        item->setEnabled(false);
        connect(item, &QAction::triggered, this, [this, i] { mnuNewProd_Click(i); });
        mnuNewProd << item;
    }
}

void frmMain::buildFileMenu()
{
    QMenu* file = addHeader(QStringLiteral("&File"));
    laterItem(file, QStringLiteral("mnuImages"), QStringLiteral("&Image Menu..."));
    laterItem(file, QStringLiteral("mnuSlideShow"), QStringLiteral("Slidesho&w"));
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print")),
            &QAction::triggered, this, &frmMain::mnuPrint_Click);
    connect(addItem(file, QStringLiteral("mnuPrintSetup"), QStringLiteral("Pri&nt Setup...")),
            &QAction::triggered, this, &frmMain::mnuPrintSetup_Click);
    connect(addItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save File...")),
            &QAction::triggered, this, &frmMain::mnuSave_Click);
    file->addSeparator();
    laterItem(file, QStringLiteral("mnuEmail"), QStringLiteral("Send to &E-Mail..."));
    laterItem(file, QStringLiteral("mnuPage"), QStringLiteral("Send to Pa&ger..."));
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuConfig"), QStringLiteral("&Configuration...")),
            &QAction::triggered, this, &frmMain::mnuConfig_Click);
    QAction* exit = addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &frmMain::mnuExit_Click);
}

void frmMain::buildProductsMenu()
{
    QMenu* products = addHeader(QStringLiteral("&Products"));
    for (int s = 0; s < 8; ++s) {
        QMenu* category = products->addMenu(QLatin1String(kCategoryMenus[s]));
        category->setObjectName(QLatin1String(kCategoryNames[s]));
        for (int i = 0; i < MenuDefinitions::ItemsPerSection; ++i) {
            QAction* item = category->addAction(QString());
            item->setVisible(false);
            connect(item, &QAction::triggered, this,
                    [this, item] { m_requests->categoryItem_Click(item->data().toString()); });
            m_categoryItems[s] << item;
        }
    }
    products->addSeparator();
    connect(
        addItem(products, QStringLiteral("mnuBulletinText"), QStringLiteral("All Text Products")),
        &QAction::triggered, this, [this] { m_requests->mnuBulletinText_Click(); });
    // "All AFOS Products" has no action of its own.
    addItem(products, QStringLiteral("mnuAFOSList"), QStringLiteral("All AFOS Products"));
    laterItem(products, QStringLiteral("mnuImageList"), QStringLiteral("All Images"));
    laterItem(products, QStringLiteral("mnuMetar"), QStringLiteral("METAR Reports"));
}

void frmMain::buildQuickMenu()
{
    QMenu* quick = addHeader(QStringLiteral("&Quick"));
    for (int i = 0; i < MenuDefinitions::QuickCount; ++i) {
        QAction* item = quick->addAction(QString());
        item->setVisible(false);
        connect(item, &QAction::triggered, this,
                [this, item] { m_requests->mnuQuick_Click(item->data().toString()); });
        mnuQuick << item;
    }
    quick->addSeparator();
    int index = 0;
    for (const char* caption : {"Logfile", "Clear Logfile", "Status"}) {
        connect(addItem(quick, QStringLiteral("mnuQuickWx"), QLatin1String(caption)),
                &QAction::triggered, this, [this, index] { m_requests->mnuQuickWx_Click(index); });
        ++index;
    }
}

void frmMain::buildOptionsMenu()
{
    QMenu* options = addHeader(QStringLiteral("&Options"));
    laterItem(options, QStringLiteral("mnuAlarm"), QStringLiteral("&Alarms..."));
    options->addSeparator();
    mnuHideIngest =
        addItem(options, QStringLiteral("mnuHideIngest"), QStringLiteral("Hide Ingest"));
    mnuHideIngest->setCheckable(true);
    connect(mnuHideIngest, &QAction::triggered, this, [this] {
        // The check mark follows the engine state, not the click.
        mnuHideIngest->setChecked(m_state.engine().hideIngestChecked());
        m_state.engine().mnuHideIngest_Click();
    });
    mnuInternetForce =
        addItem(options, QStringLiteral("mnuInternetForce"), QStringLiteral("Internet Mode"));
    mnuInternetForce->setCheckable(true);
    connect(mnuInternetForce, &QAction::toggled, this, [this](bool on) {
        txtManual->setStyleSheet(on ? QStringLiteral("background: rgb(0,255,0);") : QString());
        txtManual->setToolTip(on ? QStringLiteral("Internet Text Retrieval")
                                 : QStringLiteral("Local Text Retrieval"));
    });
    mnuSuspendEmail =
        addItem(options, QStringLiteral("mnuSuspendEmail"), QStringLiteral("Suspend EMail"));
    mnuSuspendEmail->setCheckable(true);
    mnuSuspendPage =
        addItem(options, QStringLiteral("mnuSuspendPage"), QStringLiteral("Suspend Paging"));
    mnuSuspendPage->setCheckable(true);
    connect(mnuSuspendPage, &QAction::toggled, this,
            [this](bool on) { m_state.pager().setSuspended(on); });
    mnuMute = addItem(options, QStringLiteral("mnuMute"), QStringLiteral("&Mute Alarm\tF10"));
    mnuMute->setEnabled(false); // enabled while an alarm sound runs
    connect(mnuMute, &QAction::triggered, this, &frmMain::mnuMute_Click);
}

void frmMain::buildAddInsMenu()
{
    QMenu* addIns = addHeader(QStringLiteral("&Add-ins"));
    laterItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("FTP Ingestor"));
    connect(addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("Paging Setup")),
            &QAction::triggered, this, [this] { mnuAddIn_Click(1); });
    for (const char* caption : {"Warning Plot", "WXPlot Setup"}) {
        QAction* item = laterItem(addIns, QStringLiteral("mnuWXPlot"), QLatin1String(caption));
        item->setVisible(false);
        mnuWXPlot << item;
    }
    QAction* afos = addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("AFOS Graphics"));
    afos->setVisible(false);
    connect(afos, &QAction::triggered, this, [this] { mnuAddIn_Click(3); });
    // Needs the alarm dispatch, which is wired by start-up in a later build.
    // Hidden unless a test product ("testprod.*") is in the program directory.
    mnuAlarmTest = addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("Alarm Test"));
    mnuAlarmTest->setVisible(false);
    connect(mnuAlarmTest, &QAction::triggered, this, [this] { mnuAddIn_Click(4); });
}

void frmMain::buildEditMenu()
{
    QMenu* edit = addHeader(QStringLiteral("&Edit"));
    // Edit commands act on the bulletin area.
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Undo")), &QAction::triggered,
            this, [this] { txtDisplay->undo(); });
    edit->addSeparator();
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("Cu&t")), &QAction::triggered,
            this, [this] { txtDisplay->cut(); });
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Copy")), &QAction::triggered,
            this, [this] { txtDisplay->copy(); });
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Paste")), &QAction::triggered,
            this, [this] { txtDisplay->paste(); });
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Delete")), &QAction::triggered,
            this, [this] { txtDisplay->textCursor().removeSelectedText(); });
    edit->addSeparator();
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Find\tF3")),
            &QAction::triggered, this, [this] { m_display->FindText(0); });
    connect(addItem(edit, QStringLiteral("mEdit"), QStringLiteral("Find &Next\tF4")),
            &QAction::triggered, this, [this] { m_display->FindText(1); });
    laterItem(edit, QStringLiteral("mnuZoneSearch"), QStringLiteral("&Zone Search"));
}

void frmMain::buildHelpMenu()
{
    QMenu* help = addHeader(QStringLiteral("&Help"));
    const char* const captions[7] = {"About...",          "Filenames",  "Location Identifiers",
                                     "AFOS Graphic List", "METAR ID's", "UGC Code",
                                     "FIPS Code"};
    for (int i = 0; i < 7; ++i) {
        if (i == 4 || i == 5) {
            laterItem(help, QStringLiteral("mnuAbout"), QLatin1String(captions[i]));
            continue;
        }
        QAction* item = addItem(help, QStringLiteral("mnuAbout"), QLatin1String(captions[i]));
        connect(item, &QAction::triggered, this, [this, i] { mnuAbout_Click(i); });
    }
    help->addSeparator();
    connect(addItem(help, QStringLiteral("mnuweb"), QStringLiteral("Website")), &QAction::triggered,
            this, [] { QDesktopServices::openUrl(QUrl(kWebsite)); });
}

void frmMain::buildListPopup()
{
    mnuPopup = new QMenu(this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPopup->setToolTipsVisible(true);
    const char* const captions[10] = {
        "List All Bulletins", "List all AFOS", "List All Images", nullptr,
        "Auto-Update",        nullptr,         "Add to Alarms",   "Print",
        "Send to Pager",      "Send to Email"};
    for (int i = 0; i < 10; ++i) {
        QAction* item = captions[i] ? mnuPopup->addAction(QLatin1String(captions[i]))
                                    : mnuPopup->addSeparator();
        item->setObjectName(QStringLiteral("mnuList%1").arg(i));
        connect(item, &QAction::triggered, this, [this, i] { mnuList_Click(i); });
        mnuList << item;
    }
    mnuPopup->setDefaultAction(mnuList[0]);
    mnuList[1]->setVisible(false);
    mnuList[4]->setCheckable(true);
    for (int i : {2, 6, 8, 9}) {
        mnuList[i]->setEnabled(false);
        mnuList[i]->setToolTip(NotInThisBuild);
    }
}

// ---------------------------------------------------------------- controls

QWidget* frmMain::buildLeftControls()
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    // Two rows of two, so the captions fit the narrow list width.
    auto* options = new QGridLayout;
    options->setSpacing(2);
    auto* group = new QButtonGroup(this);
    const char* const captions[4] = {"Live", "Filter", "Local", "Alarm"};
    const char* const tips[4] = {"Recent Products", "Filtered Listing", "Local Products",
                                 "Alarmed List"};
    for (int i = 0; i < 4; ++i) {
        optListBoxType[i] = new QRadioButton(QLatin1String(captions[i]));
        optListBoxType[i]->setObjectName(QStringLiteral("optListBoxType%1").arg(i));
        optListBoxType[i]->setToolTip(QLatin1String(tips[i]));
        group->addButton(optListBoxType[i], i);
        options->addWidget(optListBoxType[i], i / 2, i % 2);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int i) { m_state.lists.optListBoxType_Click(i); });
    layout->addLayout(options);

    auto* entries = new QHBoxLayout;
    txtState = new QLineEdit;
    txtState->setObjectName(QStringLiteral("txtState"));
    txtState->setToolTip(QStringLiteral("State Filter"));
    txtState->setPlaceholderText(QStringLiteral("State"));
    txtState->setMaxLength(4);
    txtManual = new QLineEdit;
    txtManual->setObjectName(QStringLiteral("txtManual"));
    txtManual->setToolTip(QStringLiteral("Local Text Retrieval"));
    txtManual->setPlaceholderText(QStringLiteral("Product"));
    entries->addWidget(txtState, 2);
    entries->addWidget(txtManual, 3);
    layout->addLayout(entries);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    cmdProduct = {new QPushButton(QStringLiteral("<")), new QPushButton(QStringLiteral(">"))};
    cmdProduct[0]->setToolTip(QStringLiteral("Older Product"));
    cmdProduct[1]->setToolTip(QStringLiteral("Newer Product"));
    cmdShrink = new QPushButton(QStringLiteral("<"));
    cmdShrink->setObjectName(QStringLiteral("cmdShrink"));
    cmdShrink->setToolTip(QStringLiteral("Compress Screen"));
    cmdImageDisplay = new QPushButton(QStringLiteral("Images"));
    cmdImageDisplay->setObjectName(QStringLiteral("cmdImageDisplay"));
    cmdImageDisplay->setEnabled(false);
    cmdImageDisplay->setToolTip(NotInThisBuild);
    cmdLog = new QPushButton(QStringLiteral("Log"));
    cmdLog->setObjectName(QStringLiteral("cmdLog"));
    cmdLog->setEnabled(false);
    for (QPushButton* b : {cmdProduct[0], cmdProduct[1], cmdImageDisplay, cmdLog, cmdShrink}) {
        b->setMinimumWidth(16);
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        buttons->addWidget(b, b == cmdImageDisplay || b == cmdLog ? 2 : 1);
    }
    layout->addLayout(buttons);
    for (int i = 0; i < 2; ++i)
        connect(cmdProduct[i], &QPushButton::clicked, this,
                [this, i] { m_requests->cmdProduct_Click(i); });
    connect(cmdShrink, &QPushButton::clicked, this, &frmMain::cmdShrink_Click);
    connect(cmdLog, &QPushButton::clicked, this, [this] { m_requests->mnuQuickWx_Click(0); });
    box->adjustSize();
    return box;
}

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
            m_requests->cmdButton_Click(button->property("tag").toString());
        });
        cmdButton << button;
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    top->addWidget(buttonBar);

    // Lists and bulletin area are placed by Form_Resize.
    m_canvas = new QWidget;
    m_canvas->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_lists = new QStackedWidget(m_canvas);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < 4; ++i) {
        auto* view = new QListView;
        view->setObjectName(QStringLiteral("List%1").arg(i + 1));
        view->setFont(courier);
        view->setModel(&m_state.lists.list(i + 1));
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setUniformItemSizes(true);
        QPalette palette = view->palette();
        palette.setColor(QPalette::Base, QColor(224, 224, 224));
        view->setPalette(palette);
        connect(&m_state.lists.list(i + 1), &ProductListModel::selectionCleared,
                view->selectionModel(), &QItemSelectionModel::clearSelection);
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, i](const QItemSelection& selected) {
                    if (!selected.isEmpty())
                        listSelected(i + 1);
                });
        List[i] = view;
        m_lists->addWidget(view);
    }
    List[0]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(List[0], &QListView::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuPopup->popup(List[0]->viewport()->mapToGlobal(at)); });
    m_leftControls = buildLeftControls();
    m_leftControls->setParent(m_canvas);

    txtDisplay = new QTextEdit(m_canvas);
    txtDisplay->setObjectName(QStringLiteral("txtDisplay"));
    txtDisplay->setAcceptRichText(false);
    txtDisplay->setLineWrapMode(QTextEdit::NoWrap);
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

    showListOption(0);
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
    cSysTray1->setContextMenu(mnuShortMenu);
    connect(cSysTray1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    restoreFromTray();
            });
    cSysTray1->show();
}

void frmMain::bindState()
{
    connect(&m_state.status, &StatusLine::changed, txtStatus, &QLabel::setText);
    connect(&m_state, &MainState::displayChanged, this,
            [this](const QString& text) { showDisplayText(text); });
    connect(&m_state, &MainState::newProductsChanged, this, [this](const QStringList& entries) {
        for (int i = 0; i < mnuNewProd.size(); ++i) {
            const QString entry = i < entries.size() ? entries[i] : QStringLiteral("none");
            mnuNewProd[i]->setText(entry);
            mnuNewProd[i]->setEnabled(entry != QLatin1String("none"));
        }
    });
    connect(&m_state.lists, &ProductLists::shownOptionChanged, this, &frmMain::showListOption);
    connect(&m_state.poller(), &DataInPoller::logAvailable, cmdLog, &QPushButton::setEnabled);
    connect(&m_state.engine(), &EngineControl::hideIngestCheckedChanged, mnuHideIngest,
            &QAction::setChecked);
    connect(&m_state.engine(), &EngineControl::netLinkChanged, txtNETLink, &QLineEdit::setText);

    m_display->setTextSource([this] { return txtDisplay->toPlainText(); });
    connect(m_display.get(), &BulletinDisplay::selectRequested, this, [this](int start, int len) {
        QTextCursor cursor = txtDisplay->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + len, QTextCursor::KeepAnchor);
        txtDisplay->setTextCursor(cursor);
        txtDisplay->setFocus();
    });
    connect(m_display.get(), &BulletinDisplay::leaveCompactRequested, this, [this] {
        QApplication::processEvents();
        if (compactMode())
            cmdShrink_Click();
    });
    connect(m_requests.get(), &ProductRequests::focusDisplay, this,
            [this] { txtDisplay->setFocus(); });
    connect(m_requests.get(), &ProductRequests::manualEntryEnabled, this, [this](bool on) {
        txtManual->setEnabled(on);
        if (on)
            txtManual->setFocus();
    });
    connect(m_requests.get(), &ProductRequests::imageRequested, this, [this](const QString& n) {
        m_state.status.setText(QStringLiteral("The image viewer is not available in this build: ") +
                               n);
    });

    // Typed letters become upper case in both entry boxes.
    for (QLineEdit* box : {txtState, txtManual}) {
        connect(box, &QLineEdit::textEdited, this, [box](const QString& text) {
            if (text == text.toUpper())
                return;
            const int at = box->cursorPosition();
            box->setText(text.toUpper());
            box->setCursorPosition(at);
        });
    }
    connect(txtState, &QLineEdit::returnPressed, this, [this] {
        if (m_requests->txtState_Enter(txtState->text())) {
            txtState->clear();
            txtState->setFocus();
        }
    });
    connect(txtState, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_requests->txtState_KeyUp(text)) {
            txtState->clear();
            txtState->setFocus();
        }
    });
    connect(txtManual, &QLineEdit::returnPressed, this, [this] {
        const QString text = txtManual->text();
        txtManual->clear();
        m_requests->txtManual_Enter(text, mnuInternetForce->isChecked());
    });
}

void frmMain::bindShortcuts()
{
    // Function keys act only without Shift, Ctrl or Alt: a shortcut for the
    // bare key does not fire for a modified one.
    const std::pair<Qt::Key, std::function<void()>> keys[] = {
        {Qt::Key_F3, [this] { m_display->FindText(0); }},
        {Qt::Key_F4, [this] { m_display->FindText(1); }},
        {Qt::Key_F7, [this] { m_requests->cmdProduct_Click(0); }},
        {Qt::Key_F8, [this] { m_requests->cmdProduct_Click(1); }},
        {Qt::Key_F10, [this] { mnuMute_Click(); }},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

// ---------------------------------------------------------------- lists

void frmMain::showListOption(int option)
{
    const int index = std::clamp(option, 0, 3);
    m_lists->setCurrentIndex(kPageForOption[index]);
    optListBoxType[index]->setChecked(true);
}

void frmMain::listSelected(int num)
{
    const QModelIndexList rows = List[num - 1]->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const int row = rows.first().row();
    // A click in the filtered list drops the live list's selection and back.
    if (num == 1)
        List[1]->selectionModel()->clearSelection();
    else
        List[0]->selectionModel()->clearSelection();
    if (num == 1)
        m_requests->List1_Click(row);
    else
        m_requests->ListClick(num, row);
}

void frmMain::mnuList_Click(int index)
{
    switch (index) {
    case 0:
        m_requests->mnuBulletinText_Click();
        return;
    case 4:
        m_requests->setAutoUpdate(!m_requests->autoUpdate());
        mnuList[4]->setChecked(m_requests->autoUpdate());
        return;
    case 6:
    case 7:
    case 8:
    case 9:
        if (!List[0]->selectionModel()->hasSelection()) {
            m_state.services().prompter->message(QStringLiteral("Must select a product first"),
                                                 QString(), IPrompter::Icon::Information);
            return;
        }
        if (index == 7)
            mnuPrint_Click();
        return;
    default:
        return;
    }
}

void frmMain::mnuNewProd_Click(int index)
{
    if (index >= m_state.newProducts.size() || m_state.newProducts[index] == QLatin1String("none"))
        return;
    restoreFromTray();
    if (compactMode())
        cmdShrink_Click();
    if (index < m_state.lists.List2().count()) {
        QAbstractItemModel* model = List[1]->model();
        List[1]->selectionModel()->clearSelection();
        List[1]->selectionModel()->select(model->index(index, 0),
                                          QItemSelectionModel::ClearAndSelect);
    }
}

// ---------------------------------------------------------------- display

void frmMain::showDisplayText(const QString& text)
{
    txtDisplay->setPlainText(lineEnds(text));
    QTextCursor cursor = txtDisplay->textCursor();
    cursor.movePosition(QTextCursor::Start);
    txtDisplay->setTextCursor(cursor);
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
    BulletinPrinter print(printer(), *m_state.services().prompter);
    print.mnuPrint_Click(txtDisplay->toPlainText().isEmpty() ? QString() : m_state.displayText(),
                         m_state.tables.printerFontSize());
}

void frmMain::mnuPrintSetup_Click()
{
    printer().setup(this);
}

void frmMain::mnuSave_Click()
{
    SaveFile save(m_state);
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

void frmMain::mnuMute_Click()
{
    // No alarm sound is played in this build; the alarm actions connect here.
}

void frmMain::mnuAbout_Click(int index)
{
    if (index == 0) {
        frmAbout about(*m_state.services().launcher, this);
        about.exec();
        return;
    }
    static const char* const files[4] = {nullptr, "product-list.txt", "facility-list.txt",
                                         "afos-list.txt"};
    if (index < 1 || index > 3)
        return;
    m_state.setDisplay(m_state.displayText(), QString());
    try {
        m_display->showTextFile(m_state.programDir() + QLatin1String(files[index]));
    } catch (const RuntimeError& e) {
        m_state.services().prompter->message(
            ErrorReport::format(QStringLiteral("MAIN: mnuAbout"), e), QString(),
            IPrompter::Icon::Exclamation);
    }
}

void frmMain::mnuAddIn_Click(int index)
{
    if (index == 1) {
        if (!m_state.pagingAvailable)
            m_state.services().prompter->message(QStringLiteral("abcPager software not found"),
                                                 QStringLiteral("Vantorel Paging Component"),
                                                 IPrompter::Icon::Critical);
        else
            m_state.status.setText(QStringLiteral("Pager setup is not available in this build"));
    } else if (index == 4) {
        AlarmTest(m_state, m_state.alarmDispatcher()).run();
    } else if (index == 3) {
        m_state.services().launcher->start(QLatin1Char('"') + m_state.programDir() +
                                               QStringLiteral("afosplot\""),
                                           LaunchWindow::Normal);
    }
}

// ---------------------------------------------------------------- layout

bool frmMain::compactMode() const
{
    return cmdShrink->text() == QLatin1String(">");
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
    const int controls = m_leftControls->sizeHint().height();
    // The area keeps its computed height unless the controls under the
    // lists would be cut off.
    const int height = std::max(20, std::min(toPixels(g.height), m_canvas->height() - controls));
    m_lists->setGeometry(0, 0, listWidth, height);
    m_leftControls->setGeometry(0, height, listWidth, controls);
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
        cmdShrink->setToolTip(QStringLiteral("Expand Screen"));
        for (int i : {4, 5, 6})
            mnuHeader[i]->menuAction()->setVisible(false);
        resize(toPixels(layout.compactWidth()), height());
        cmdShrink->setText(QStringLiteral(">"));
    } else {
        cmdShrink->setToolTip(QStringLiteral("Compress Screen"));
        resize(toPixels(layout.expandedWidth()), height());
        cmdShrink->setText(QStringLiteral("<"));
        for (int i : {4, 5, 6})
            mnuHeader[i]->menuAction()->setVisible(true);
    }
    cmdImageDisplay->setFocus();
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
    showNormal();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- start-up host

bool frmMain::Form_Load()
{
    StartupSequence startup(m_state, *this);
    const bool ok = startup.run();
    mnuAlarmTest->setVisible(AlarmTest(m_state, m_state.alarmDispatcher()).available());
    m_state.lists.setLocalCodes(m_state.localCodes);
    m_state.lists.setLongHeader(m_state.settings.LongHeader != 0);
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
    mnuSuspendPage->setVisible(visible);
}

void frmMain::setWxPlotVisible(bool visible)
{
    for (QAction* item : mnuWXPlot)
        item->setVisible(visible);
}

frmConfig& frmMain::configDialog()
{
    if (!m_config) {
        m_config = new frmConfig(m_state, this);
        m_config->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_config, &frmConfig::wxPlotFound, this, [this] { setWxPlotVisible(true); });
        connect(m_config, &frmConfig::saved, this, &frmMain::Form_Resize);
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
    for (int i = 0; i < mnuQuick.size(); ++i) {
        const bool defined = i < quick.size();
        mnuQuick[i]->setVisible(defined);
        if (defined) {
            mnuQuick[i]->setText(quick[i].caption);
            mnuQuick[i]->setData(quick[i].tag);
        }
    }
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
    // Each automatic state filter runs the search box request and toggles auto-update.
    for (const QString& filter : menus.automaticStateFilters()) {
        m_requests->txtState_Enter(filter);
        mnuList_Click(4);
    }
}

void frmMain::showDisplay()
{
    txtDisplay->setVisible(true);
}

void frmMain::showImage(const QString& path)
{
    // A plain viewer for the image that was on show when the program closed.
    auto* viewer = new QLabel;
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(QStringLiteral("Image Viewer"));
    const QPixmap picture(path);
    if (picture.isNull())
        viewer->setText(QStringLiteral("Bad image file."));
    else
        viewer->setPixmap(picture);
    viewer->show();
}

void frmMain::setHideIngestVisible(bool visible)
{
    mnuHideIngest->setVisible(visible);
}

// ---------------------------------------------------------------- shutdown

void frmMain::mnuExit_Click()
{
    m_state.engine().setNetLink(QStringLiteral("SHUTDOWN"));
    close();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    Settings& s = m_state.settings;
    const bool minimised = isMinimized() || !isVisible();
    if (!minimised) {
        s.Width = width() * TwipsPerPixel;
        s.Height = height() * TwipsPerPixel;
    }
    s.writeShutdown(*m_state.services().store, mnuHideIngest->isChecked(), minimised);
    m_state.services().store->sync();
    m_state.engine().restoreEngineWindows();
    QApplication::processEvents();
    if (cSysTray1)
        cSysTray1->hide();
    // The mail bodies of this run.
    const QString dir = m_state.programDir();
    for (const QString& name : FileLister::list(dir, QStringLiteral("output*.txt")))
        QFile::remove(dir + name);
    if (m_config)
        m_config->close();
}
