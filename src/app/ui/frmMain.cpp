#include "app/ui/frmMain.h"

#include "app/MainState.h"
#include "app/MenuDefinitions.h"
#include "app/StartupSequence.h"
#include "app/ui/frmConfig.h"
#include "ingest/DataInPoller.h"
#include "ingest/EngineControl.h"
#include "notify/Pager.h"
#include "platform/FileLister.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
const char* const kCategoryMenus[8] = {"&Forecasts", "&Warnings", "&Observations", "&Summaries",
                                       "&River",     "&AG/Hydro", "&Misc",         "&Tropical"};
const char* const kCategoryNames[8] = {"mnuForecasts", "mnuWarnings", "mnuObservations",
                                       "mnuSummaries", "mnuRiver",    "mnuAG",
                                       "mnuMisc",      "mnuHurr"};
} // namespace

frmMain::frmMain(MainState& state, QWidget* parent) : QMainWindow(parent), m_state(state)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Vantorel v1.7"));
    buildMenus();
    buildCentral();
    buildTray();
    connect(&m_state.status, &StatusLine::changed, txtStatus, &QLabel::setText);
    connect(&m_state, &MainState::displayChanged, this,
            [this](const QString& text) { txtDisplay->setPlainText(text); });
    connect(&m_state.poller(), &DataInPoller::logAvailable, cmdLog, &QPushButton::setEnabled);
    connect(&m_state.engine(), &EngineControl::hideIngestCheckedChanged, mnuHideIngest,
            &QAction::setChecked);
    connect(&m_state.engine(), &EngineControl::netLinkChanged, txtNETLink, &QLineEdit::setText);
}

frmMain::~frmMain() = default;

QMenu* frmMain::addHeader(const QString& caption)
{
    QMenu* menu = menuBar()->addMenu(caption);
    mnuHeader << menu;
    return menu;
}

QAction* frmMain::addItem(QMenu* menu, const QString& name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

void frmMain::buildMenus()
{
    // Items whose windows belong to other parts of the program start disabled
    // and are switched on when those parts are present.
    QMenu* file = addHeader(QStringLiteral("&File"));
    addItem(file, QStringLiteral("mnuImages"), QStringLiteral("&Image Menu..."))->setEnabled(false);
    addItem(file, QStringLiteral("mnuSlideShow"), QStringLiteral("Slidesho&w"))->setEnabled(false);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuPrint"), QStringLiteral("&Print"))->setEnabled(false);
    addItem(file, QStringLiteral("mnuPrintSetup"), QStringLiteral("Pri&nt Setup..."))
        ->setEnabled(false);
    addItem(file, QStringLiteral("mnuSave"), QStringLiteral("&Save File..."))->setEnabled(false);
    file->addSeparator();
    addItem(file, QStringLiteral("mnuEmail"), QStringLiteral("Send to &E-Mail..."))
        ->setEnabled(false);
    addItem(file, QStringLiteral("mnuPage"), QStringLiteral("Send to Pa&ger..."))
        ->setEnabled(false);
    file->addSeparator();
    connect(addItem(file, QStringLiteral("mnuConfig"), QStringLiteral("&Configuration...")),
            &QAction::triggered, this, &frmMain::mnuConfig_Click);
    QAction* exit = addItem(file, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &frmMain::mnuExit_Click);

    QMenu* products = addHeader(QStringLiteral("&Products"));
    for (int s = 0; s < 8; ++s) {
        QMenu* category = products->addMenu(QLatin1String(kCategoryMenus[s]));
        category->setObjectName(QLatin1String(kCategoryNames[s]));
        for (int i = 0; i < MenuDefinitions::ItemsPerSection; ++i) {
            QAction* item = category->addAction(QString());
            item->setVisible(false);
            item->setEnabled(false);
            m_categoryItems[s] << item;
        }
    }
    products->addSeparator();
    addItem(products, QStringLiteral("mnuBulletinText"), QStringLiteral("All Text Products"))
        ->setEnabled(false);
    addItem(products, QStringLiteral("mnuAFOSList"), QStringLiteral("All AFOS Products"))
        ->setEnabled(false);
    addItem(products, QStringLiteral("mnuImageList"), QStringLiteral("All Images"))
        ->setEnabled(false);
    addItem(products, QStringLiteral("mnuMetar"), QStringLiteral("METAR Reports"))
        ->setEnabled(false);

    QMenu* quick = addHeader(QStringLiteral("&Quick"));
    for (int i = 0; i < MenuDefinitions::QuickCount; ++i) {
        QAction* item = quick->addAction(QString());
        item->setVisible(false);
        item->setEnabled(false);
        mnuQuick << item;
    }
    quick->addSeparator();
    for (const char* caption : {"Logfile", "Clear Logfile", "Status"})
        addItem(quick, QStringLiteral("mnuQuickWx"), QLatin1String(caption))->setEnabled(false);

    QMenu* options = addHeader(QStringLiteral("&Options"));
    addItem(options, QStringLiteral("mnuAlarm"), QStringLiteral("&Alarms..."))->setEnabled(false);
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
    addItem(options, QStringLiteral("mnuMute"), QStringLiteral("&Mute Alarm\tF10"))
        ->setEnabled(false);

    QMenu* addIns = addHeader(QStringLiteral("&Add-ins"));
    addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("FTP Ingestor"))->setEnabled(false);
    addItem(addIns, QStringLiteral("mnuAddIn"), QStringLiteral("Paging Setup"))->setEnabled(false);
    for (const char* caption : {"Warning Plot", "WXPlot Setup"}) {
        QAction* item = addItem(addIns, QStringLiteral("mnuWXPlot"), QLatin1String(caption));
        item->setVisible(false);
        item->setEnabled(false);
        mnuWXPlot << item;
    }

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
    addItem(edit, QStringLiteral("mEdit"), QStringLiteral("&Find"))->setEnabled(false);
    addItem(edit, QStringLiteral("mEdit"), QStringLiteral("Find &Next"))->setEnabled(false);
    addItem(edit, QStringLiteral("mnuZoneSearch"), QStringLiteral("&Zone Search"))
        ->setEnabled(false);

    QMenu* help = addHeader(QStringLiteral("&Help"));
    connect(addItem(help, QStringLiteral("mnuAbout"), QStringLiteral("About...")),
            &QAction::triggered, this, [this] {
                QMessageBox::about(this, QStringLiteral("About Vantorel v1.7"),
                                   QStringLiteral("Vantorel v1.7\nVersion " VANTOREL_VERSION
                                                  "\n\nEMWIN weather broadcast client"));
            });
    for (const char* caption : {"Filenames", "Location Identifiers", "AFOS Graphic List",
                                "METAR ID's", "UGC Code", "FIPS Code"})
        addItem(help, QStringLiteral("mnuAbout"), QLatin1String(caption))->setEnabled(false);
    help->addSeparator();
    addItem(help, QStringLiteral("mnuweb"), QStringLiteral("Website"))->setEnabled(false);

    mnuShortMenu = new QMenu(this);
    for (int i = 0; i < 5; ++i) {
        QAction* item = mnuShortMenu->addAction(QStringLiteral("none"));
        item->setEnabled(false);
        mnuNewProd << item;
    }
}

void frmMain::buildCentral()
{
    auto* central = new QWidget(this);
    auto* top = new QVBoxLayout(central);
    top->setContentsMargins(4, 4, 4, 4);

    // Request buttons from the button file, hidden until defined.
    auto* buttonRow = new QHBoxLayout;
    for (int i = 0; i < MenuDefinitions::ButtonCount; ++i) {
        auto* button = new QPushButton;
        button->setObjectName(QStringLiteral("cmdButton%1").arg(i));
        button->setVisible(false);
        button->setEnabled(false);
        cmdButton << button;
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    top->addLayout(buttonRow);

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* options = new QHBoxLayout;
    auto* group = new QButtonGroup(this);
    const char* const captions[4] = {"Live", "Filter", "Local", "Alarm"};
    const char* const tips[4] = {"Recent Products", "Filtered Listing", "Local Products",
                                 "Alarmed List"};
    for (int i = 0; i < 4; ++i) {
        optListBoxType[i] = new QRadioButton(QLatin1String(captions[i]));
        optListBoxType[i]->setToolTip(QLatin1String(tips[i]));
        group->addButton(optListBoxType[i], i);
        options->addWidget(optListBoxType[i]);
    }
    connect(group, &QButtonGroup::idClicked, this, &frmMain::optListBoxType_Click);
    leftLayout->addLayout(options);
    m_lists = new QStackedWidget;
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < 4; ++i) {
        List[i] = new QListWidget;
        List[i]->setObjectName(QStringLiteral("List%1").arg(i + 1));
        List[i]->setFont(courier);
        List[i]->setStyleSheet(QStringLiteral("QListWidget { background: rgb(224,224,224); }"));
        m_lists->addWidget(List[i]);
    }
    leftLayout->addWidget(m_lists, 1);
    auto* entryRow = new QGridLayout;
    txtState = new QLineEdit;
    txtState->setToolTip(QStringLiteral("State Filter"));
    txtState->setPlaceholderText(QStringLiteral("State Filter"));
    txtManual = new QLineEdit;
    txtManual->setToolTip(QStringLiteral("Local Text Retrieval"));
    txtManual->setPlaceholderText(QStringLiteral("Product"));
    entryRow->addWidget(txtState, 0, 0);
    entryRow->addWidget(txtManual, 0, 1);
    leftLayout->addLayout(entryRow);
    auto* smallButtons = new QHBoxLayout;
    cmdProduct = {new QPushButton(QStringLiteral("<")), new QPushButton(QStringLiteral(">"))};
    cmdProduct[0]->setToolTip(QStringLiteral("Older Product"));
    cmdProduct[1]->setToolTip(QStringLiteral("Newer Product"));
    cmdShrink = new QPushButton(QStringLiteral("<"));
    cmdShrink->setToolTip(QStringLiteral("Compress Screen"));
    cmdImageDisplay = new QPushButton(QStringLiteral("Images"));
    cmdLog = new QPushButton(QStringLiteral("Log"));
    cmdLog->setEnabled(false);
    for (QPushButton* b : {cmdProduct[0], cmdProduct[1], cmdShrink, cmdImageDisplay})
        b->setEnabled(false);
    for (QPushButton* b : {cmdProduct[0], cmdProduct[1], cmdImageDisplay, cmdLog, cmdShrink})
        smallButtons->addWidget(b);
    leftLayout->addLayout(smallButtons);

    txtDisplay = new QTextEdit;
    txtDisplay->setObjectName(QStringLiteral("txtDisplay"));
    txtDisplay->setAcceptRichText(false);
    txtDisplay->setLineWrapMode(QTextEdit::NoWrap);
    QFont fixed(QStringLiteral("Courier New"), 9);
    fixed.setStyleHint(QFont::TypeWriter);
    txtDisplay->setFont(fixed);
    txtDisplay->setVisible(false);

    auto* splitter = new QSplitter;
    splitter->addWidget(left);
    splitter->addWidget(txtDisplay);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({163, 560});
    top->addWidget(splitter, 1);

    txtNETLink = new QLineEdit(central);
    txtNETLink->setObjectName(QStringLiteral("txtNETLink"));
    txtNETLink->setVisible(false);

    txtStatus = new QLabel;
    txtStatus->setObjectName(QStringLiteral("txtStatus"));
    txtStatus->setFrameShape(QFrame::StyledPanel);
    statusBar()->addWidget(txtStatus, 1);
    setCentralWidget(central);

    optListBoxType[0]->setChecked(true);
    optListBoxType_Click(0);
}

void frmMain::buildTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    cSysTray1 = new QSystemTrayIcon(windowIcon(), this);
    cSysTray1->setToolTip(windowTitle());
    cSysTray1->setContextMenu(mnuShortMenu);
    connect(cSysTray1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    showNormal();
            });
    cSysTray1->show();
}

void frmMain::optListBoxType_Click(int index)
{
    // 0 Live (List2), 1 Filter (List1), 2 Local (List3), 3 Alarm (List4).
    static const int listFor[4] = {1, 0, 2, 3};
    m_lists->setCurrentIndex(listFor[std::clamp(index, 0, 3)]);
}

bool frmMain::Form_Load()
{
    StartupSequence startup(m_state, *this);
    return startup.run();
}

bool frmMain::isSmallScreen() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->geometry().width() == 640;
}

void frmMain::applySmallScreenLayout()
{
    setGeometry(0, 0, qRound(9570 / TwipsPerPixel), qRound(6795 / TwipsPerPixel));
    QFont font = txtDisplay->font();
    font.setPointSize(8);
    txtDisplay->setFont(font);
}

void frmMain::applyWindowSize(double widthTwips, double heightTwips)
{
    resize(std::max(200, qRound(widthTwips / TwipsPerPixel)),
           std::max(150, qRound(heightTwips / TwipsPerPixel)));
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
    if (const auto size = menus.fontSize(); size && *size > 0) {
        QFont font = txtDisplay->font();
        font.setPointSize(*size);
        txtDisplay->setFont(font);
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
    const bool minimised = isMinimized();
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
