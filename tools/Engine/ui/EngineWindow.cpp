#include "EngineWindow.h"

#include "InternetEngine.h"
#include "ServerListDialog.h"

EngineWindow::EngineWindow(InternetEngine& engine, QWidget* parent)
    : IngestWindow(engine.pipeline(), parent), m_engine(engine)
{
    connect(&engine, &InternetEngine::connectionChanged, this, &EngineWindow::update);
    connect(&engine, &InternetEngine::logMessage, this, &IngestWindow::addLog);
    addButton(tr("&Servers..."), [this] { openServerList(); });
    update(false, QString());
}

// Not modal: the engine keeps receiving while the list is edited.
void EngineWindow::openServerList()
{
    if (!m_serverList) {
        m_serverList = new ServerListDialog(m_engine, this);
        m_serverList->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_serverList->show();
    m_serverList->raise();
    m_serverList->activateWindow();
}

void EngineWindow::update(bool connected, const QString& server)
{
    setWindowTitle(m_engine.windowTitle());
    setState(connected ? tr("Connected") : tr("Not connected"));
    setSource(server.isEmpty() ? tr("(none yet)") : server);
}
