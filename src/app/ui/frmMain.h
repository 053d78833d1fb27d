#pragma once

#include "app/MainLayout.h"
#include "app/StartupHost.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class MainState;
class frmConfig;
class BulletinDisplay;
class MirrorFetcher;
class ProductRequests;
class XdotoolKeystrokes;
class GphViewer;
class QtTextPrinter;
class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QSystemTrayIcon;
class QTextEdit;
class QTimer;

// The main window: menus, request buttons, the four product lists, the
// bulletin area and the status line. It binds these controls to the
// program-wide state and the request logic, lays itself out on resize,
// hides into the tray and switches compact mode, and carries out start-up
// and shutdown.
class frmMain : public QMainWindow, public IStartupHost
{
    Q_OBJECT
public:
    explicit frmMain(MainState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // Runs the start-up sequence; false when it ended early.
    bool Form_Load();

    // IStartupHost
    bool isSmallScreen() const override;
    void applySmallScreenLayout() override;
    void applyWindowSize(double widthTwips, double heightTwips) override;
    void showMainWindow() override;
    void hideMainWindow() override;
    void processEvents() override;
    void setSuspendPageVisible(bool visible) override;
    void setWxPlotVisible(bool visible) override;
    void showConfigModeless() override;
    void hideConfig() override;
    void execConfigModal() override;
    void applyDefinitions(const MenuDefinitions& menus) override;
    void showDisplay() override;
    void showImage(const QString& path) override;
    void setHideIngestVisible(bool visible) override;

    static constexpr double TwipsPerPixel = 15.0;
    static inline const QString NotInThisBuild = QStringLiteral("Not available in this build");

    ProductRequests& requests() { return *m_requests; }
    BulletinDisplay& display() { return *m_display; }
    bool compactMode() const;

public slots:
    // Lays out lists and bulletin area for the current window size.
    void Form_Resize();
    void cmdShrink_Click();
    // Mutes the sounding alarm; no alarm sound exists in this build yet.
    void mnuMute_Click();
    void mnuPrint_Click();
    void mnuPrintSetup_Click();
    void mnuSave_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildFileMenu();
    void buildProductsMenu();
    void buildQuickMenu();
    void buildOptionsMenu();
    void buildAddInsMenu();
    void buildEditMenu();
    void buildHelpMenu();
    void buildListPopup();
    void buildCentral();
    QWidget* buildLeftControls();
    void buildTray();
    void bindState();
    void bindShortcuts();
    QMenu* addHeader(const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    QAction* laterItem(QMenu* menu, const QString& name, const QString& caption);
    void showListOption(int option);
    void listSelected(int num);
    void mnuList_Click(int index);
    void mnuAbout_Click(int index);
    void mnuAddIn_Click(int index);
    void mnuNewProd_Click(int index);
    void showDisplayText(const QString& text);
    void restoreFromTray();
    void mnuExit_Click();
    void mnuConfig_Click();
    void Form_Unload();
    frmConfig& configDialog();
    QtTextPrinter& printer();

    MainState& m_state;
    std::unique_ptr<BulletinDisplay> m_display;
    std::unique_ptr<MirrorFetcher> m_fetcher;
    std::unique_ptr<ProductRequests> m_requests;
    std::unique_ptr<XdotoolKeystrokes> m_keys;
    std::unique_ptr<GphViewer> m_gph;
    std::unique_ptr<QtTextPrinter> m_printer;
    QPointer<frmConfig> m_config;
    QList<QMenu*> mnuHeader;
    std::array<QList<QAction*>, 8> m_categoryItems;
    QList<QAction*> mnuQuick;
    QList<QAction*> mnuWXPlot;
    QList<QAction*> mnuNewProd;
    QList<QAction*> mnuList;
    QAction* mnuHideIngest = nullptr;
    QAction* mnuAlarmTest = nullptr;
    QAction* mnuInternetForce = nullptr;
    QAction* mnuSuspendEmail = nullptr;
    QAction* mnuSuspendPage = nullptr;
    QAction* mnuMute = nullptr;
    QMenu* mnuShortMenu = nullptr;
    QMenu* mnuPopup = nullptr;
    QList<QPushButton*> cmdButton;
    std::array<QListView*, 4> List{}; // List1..List4
    std::array<QRadioButton*, 4> optListBoxType{};
    QWidget* m_canvas = nullptr;
    QWidget* m_leftControls = nullptr;
    QStackedWidget* m_lists = nullptr;
    QTextEdit* txtDisplay = nullptr;
    QLabel* txtStatus = nullptr;
    QLineEdit* txtManual = nullptr;
    QLineEdit* txtState = nullptr;
    QLineEdit* txtNETLink = nullptr;
    QPushButton* cmdShrink = nullptr;
    QPushButton* cmdImageDisplay = nullptr;
    QPushButton* cmdLog = nullptr;
    std::array<QPushButton*, 2> cmdProduct{};
    QSystemTrayIcon* cSysTray1 = nullptr;
    std::optional<int> m_fontSize;
    bool m_smallScreen = false;
    bool m_unloaded = false;
};
