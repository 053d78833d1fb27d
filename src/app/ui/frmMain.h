#pragma once

#include "app/StartupHost.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>

class MainState;
class frmConfig;
class QAction;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QSystemTrayIcon;
class QTextEdit;

// The main window: menus, request buttons, the four product lists, the
// bulletin area and the status line. It binds these controls to the
// program-wide state and carries out start-up and shutdown.
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildCentral();
    void buildTray();
    QMenu* addHeader(const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    void optListBoxType_Click(int index);
    void mnuExit_Click();
    void mnuConfig_Click();
    void Form_Unload();
    frmConfig& configDialog();

    MainState& m_state;
    QPointer<frmConfig> m_config;
    QList<QMenu*> mnuHeader;
    std::array<QList<QAction*>, 8> m_categoryItems;
    QList<QAction*> mnuQuick;
    QList<QAction*> mnuWXPlot;
    QList<QAction*> mnuNewProd;
    QAction* mnuHideIngest = nullptr;
    QAction* mnuInternetForce = nullptr;
    QAction* mnuSuspendEmail = nullptr;
    QAction* mnuSuspendPage = nullptr;
    QMenu* mnuShortMenu = nullptr;
    QList<QPushButton*> cmdButton;
    std::array<QListWidget*, 4> List{}; // List1..List4
    std::array<QRadioButton*, 4> optListBoxType{};
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
    bool m_unloaded = false;
};
