#include "NwwsEngineWindow.h"

#include "NwwsEngine.h"

NwwsEngineWindow::NwwsEngineWindow(NwwsEngine& engine, QWidget* parent)
    : IngestWindow(parent), m_engine(engine)
{
    setWindowTitle(tr("Vantorel NWWS"));
    setSource(engine.server());
    setDataIn(engine.dataInDirectory());
    setState(engine.stateText());
    connect(&engine, &NwwsEngine::countersChanged, this, &NwwsEngineWindow::refresh);
    connect(&engine, &NwwsEngine::stateChanged, this, &IngestWindow::setState);
    connect(&engine, &NwwsEngine::logMessage, this, &IngestWindow::addLog);
    refresh();
}

void NwwsEngineWindow::refresh()
{
    const NwwsEngine::Counters& c = m_engine.counters();
    setCounters(tr("%1 received, %2 written, %3 kept aside, %4 reconnects")
                    .arg(c.received)
                    .arg(c.written)
                    .arg(c.spilled)
                    .arg(c.reconnects));
    setLastFiles(m_engine.lastFiles());
}
