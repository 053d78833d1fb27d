#pragma once

#include <QPointer>
#include <functional>

class MainState;
class QWidget;
class frmConfig;

// The one configuration dialog of the main window: made on first use and
// read again from the settings when asked for again; shown modeless from the
// menu, run modal by a first start, closed on shutdown.
class ConfigDialogSlot
{
public:
    struct Hooks
    {
        std::function<void()> wxPlotFound;
        std::function<void()> saved;
    };

    ConfigDialogSlot(MainState& state, QWidget& window, Hooks hooks);

    void show();
    // Shown, raised and activated (Options > Configuration).
    void present();
    void hide();
    void execModal();
    void close();

private:
    frmConfig& dialog();

    MainState& m_state;
    QWidget& m_window;
    Hooks m_hooks;
    QPointer<frmConfig> m_config;
};
