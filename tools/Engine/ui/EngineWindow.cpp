#include "EngineWindow.h"

#include "InternetEngine.h"

EngineWindow::EngineWindow(InternetEngine& engine, QWidget* parent)
    : IngestWindow(engine.pipeline(), parent), m_engine(engine)
{
    connect(&engine, &InternetEngine::connectionChanged, this, &EngineWindow::update);
    connect(&engine, &InternetEngine::logMessage, this, &IngestWindow::addLog);
    update(false, QString());
}

void EngineWindow::update(bool connected, const QString& server)
{
    setWindowTitle(m_engine.windowTitle());
    setState(connected ? tr("Connected") : tr("Not connected"));
    setSource(server.isEmpty() ? tr("(none yet)") : server);
}
