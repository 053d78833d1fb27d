#include "app/ui/ConfigDialogSlot.h"

#include "app/ui/frmConfig.h"

ConfigDialogSlot::ConfigDialogSlot(MainState& state, QWidget& window, Hooks hooks)
    : m_state(state), m_window(window), m_hooks(std::move(hooks))
{
}

frmConfig& ConfigDialogSlot::dialog()
{
    if (!m_config) {
        m_config = new frmConfig(m_state, &m_window);
        m_config->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(m_config, &frmConfig::wxPlotFound, &m_window, m_hooks.wxPlotFound);
        QObject::connect(m_config, &frmConfig::saved, &m_window, m_hooks.saved);
    } else {
        m_config->Form_Load();
    }
    return *m_config;
}

void ConfigDialogSlot::show()
{
    dialog().show();
}

void ConfigDialogSlot::present()
{
    frmConfig& d = dialog();
    d.show();
    d.raise();
    d.activateWindow();
}

void ConfigDialogSlot::hide()
{
    if (m_config)
        m_config->hide();
}

void ConfigDialogSlot::execModal()
{
    frmConfig& d = dialog();
    d.setAttribute(Qt::WA_DeleteOnClose, false);
    d.exec();
    delete m_config;
}

void ConfigDialogSlot::close()
{
    if (m_config)
        m_config->close();
}
