#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <array>

class ImageController;
class ListPopup;
class MainMenuCommands;
class MainState;
class MenuDefinitions;
class NotifyWindows;
class ObservationWindows;
class QAction;
class QMainWindow;
class QMenu;

// The main window's menu bar, the filtered list's pop-up menu and the short
// menu of new products. Items that belong to a subsystem are connected to it
// here; items that need the window are passed on as signals.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    // The windows of subsystems that menu items open.
    struct Windows
    {
        ObservationWindows& observations;
        ImageController& images;
        NotifyWindows& notify;
    };

    MainMenus(QMainWindow& window, MainState& state, MainMenuCommands& commands, ListPopup& popup,
              Windows windows);

    // Category and quick menu items from the menu files.
    void applyDefinitions(const MenuDefinitions& menus);
    void setNewProducts(const QStringList& entries);
    void setWxPlotVisible(bool visible);

    // Header menus in menu-bar order (File, Products, Quick, Options,
    // Add-ins, Edit, Help).
    const QList<QMenu*>& mnuHeader() const { return m_header; }
    QMenu* mnuShortMenu() const { return m_shortMenu; }
    QMenu* mnuPopup() const { return m_popup; }
    QAction* mnuHideIngest() const { return m_hideIngest; }
    QAction* mnuAlarmTest() const { return m_alarmTest; }
    QAction* mnuInternetForce() const { return m_internetForce; }
    QAction* mnuSuspendPage() const { return m_suspendPage; }
    QAction* mnuSuspendEmail() const { return m_suspendEmail; }
    QAction* mnuMute() const { return m_mute; }
    QAction* mnuList(int index) const { return m_list.value(index); }

signals:
    void printRequested();
    void printSetupRequested();
    void saveRequested();
    void configRequested();
    void exitRequested();
    // Products > METAR Reports (the METAR button does the same).
    void metarRequested();
    // Products > Warning Map.
    void mapRequested();
    void muteRequested();
    // Options > Alarms...
    void alarmsRequested();
    void aboutRequested();
    // Add-ins > FTP Ingestor.
    void ftpRequested();
    void newProductRequested(int index);
    // Edit menu: 0 undo, 1 cut, 2 copy, 3 paste, 4 delete.
    void editRequested(int command);
    // A pop-up entry that acts on the filtered list's selection.
    void listPopupRequested(int index);

private:
    QMenu* addHeader(const QString& caption);
    QAction* addItem(QMenu* menu, const QString& name, const QString& caption);
    void buildFileMenu();
    void buildProductsMenu();
    void buildQuickMenu();
    void buildOptionsMenu();
    void buildAddInsMenu();
    void buildEditMenu();
    void buildHelpMenu();
    void buildListPopup();
    void buildShortMenu();

    QMainWindow& m_window;
    MainState& m_state;
    MainMenuCommands& m_commands;
    ListPopup& m_listPopup;
    ObservationWindows& m_observations;
    ImageController& m_images;
    NotifyWindows& m_notify;
    QList<QMenu*> m_header;
    std::array<QList<QAction*>, 8> m_categoryItems;
    QList<QAction*> m_quick;
    QList<QAction*> m_wxPlot;
    QList<QAction*> m_newProd;
    QList<QAction*> m_list;
    QAction* m_hideIngest = nullptr;
    QAction* m_alarmTest = nullptr;
    QAction* m_internetForce = nullptr;
    QAction* m_suspendPage = nullptr;
    QAction* m_suspendEmail = nullptr;
    QAction* m_mute = nullptr;
    QMenu* m_shortMenu = nullptr;
    QMenu* m_popup = nullptr;
};
