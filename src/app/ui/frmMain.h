#pragma once

#include "app/ShutdownSequence.h"
#include "app/StartupHost.h"
#include "images/ISlideTarget.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class BulletinFileCommands;
class BulletinView;
class ConfigDialogSlot;
class ImageController;
class ListPane;
class ListPopup;
class MainAlarmWindows;
class MainAreaLayout;
class MainMenuCommands;
class MainMenus;
class MainTray;
class WarningMapSlot;
class MainState;
class NotifyWindows;
class ObservationWindows;
class QLabel;
class QLineEdit;
class QPushButton;
class RequestButtonBar;
class frmFTP;

// The main window: menus, request buttons, the four product lists, the
// bulletin area and the status line. It binds these controls to the
// program-wide state and the services built by MainState, lays itself out on
// resize, hides into the tray and switches compact mode. Start-up and
// shutdown run as their own sequences with this window as host.
class frmMain : public QMainWindow, public IStartupHost, public IShutdownHost, public ISlideTarget
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
    void reopenLastImage() override;
    void setHideIngestVisible(bool visible) override;

    // IShutdownHost
    std::optional<std::pair<double, double>> windowSizeTwips() const override;
    void hideTrayIcon() override;
    void closeDialogs() override;

    // ISlideTarget
    void requestTextProduct(const QString& name) override;

    bool compactMode() const;

public slots:
    // Lays out lists and bulletin area for the current window size.
    void Form_Resize();
    void cmdShrink_Click();
    // Mutes the sounding alarm (menu, button, F10, "~" in a scrolling window).
    void mnuMute_Click();
    // Options > Alarms... and the lists' "Add to Alarms" (pattern preset).
    void mnuAlarm_Click(const QString& preset = QString());
    void mnuPrint_Click();
    void mnuPrintSetup_Click();
    void mnuSave_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildCentral();
    void buildTray();
    void bindMenus();
    void bindState();
    void bindShortcuts();
    void bindAlarms();
    void addToAlarms();
    void mnuNewProd_Click(int index);
    void editCommand(int command);
    void restoreFromTray();
    void mnuExit_Click();
    void mnuConfig_Click();
    void cmdMetar_Click();
    void mnuFTP_Click();

    MainState& m_state;
    std::unique_ptr<MainMenuCommands> m_commands;
    std::unique_ptr<ListPopup> m_listPopup;
    std::unique_ptr<ShutdownSequence> m_shutdown;
    std::unique_ptr<BulletinFileCommands> m_files;
    MainMenus* m_menus = nullptr;
    ObservationWindows* m_observations = nullptr;
    ImageController* m_images = nullptr;
    NotifyWindows* m_notify = nullptr;
    std::unique_ptr<ConfigDialogSlot> m_config;
    QPointer<frmFTP> m_ftp;
    ListPane* m_pane = nullptr;
    RequestButtonBar* m_buttonBar = nullptr;
    QWidget* m_canvas = nullptr;
    BulletinView* txtDisplay = nullptr;
    QLabel* txtStatus = nullptr;
    QLineEdit* txtNETLink = nullptr;
    MainTray* m_tray = nullptr;
    std::unique_ptr<WarningMapSlot> m_map;
    // Alarms: sound output, scrolling windows, the mute button, the editor.
    std::unique_ptr<MainAlarmWindows> m_alarms;
    std::unique_ptr<MainAreaLayout> m_layout;
};
