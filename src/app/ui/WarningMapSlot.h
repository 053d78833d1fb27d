#pragma once

#include <QPointer>
#include <functional>

class MainState;
class QStatusBar;
class QWidget;
class frmMap;

// The one Warning Map window of the main window: made on first use, shown
// and raised again after; a click on a warning puts its latest product in
// the bulletin area and brings the main window up.
class WarningMapSlot
{
public:
    WarningMapSlot(MainState& state, QWidget& window, std::function<void()> showBulletin);

    void present();
    // The "Map" button on the status bar.
    void addButton(QStatusBar& statusBar);
    // The location changed in the configuration dialog.
    void locationChanged();

private:
    MainState& m_state;
    QWidget& m_window;
    std::function<void()> m_showBulletin;
    QPointer<frmMap> m_map;
};
