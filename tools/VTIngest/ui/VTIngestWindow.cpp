#include "VTIngestWindow.h"

#include "SerialIngest.h"

VTIngestWindow::VTIngestWindow(SerialIngest& ingest, QWidget* parent)
    : IngestWindow(ingest.pipeline(), parent), m_ingest(ingest)
{
    setWindowTitle(SerialIngest::WindowTitle);
    setSource(tr("%1 at %2 baud").arg(ingest.portName()).arg(ingest.baud()));
    connect(&ingest, &SerialIngest::openChanged, this, &VTIngestWindow::update);
    connect(&ingest, &SerialIngest::logMessage, this, &IngestWindow::addLog);
    update(ingest.isOpen());
}

void VTIngestWindow::update(bool open)
{
    setState(open ? tr("Receiving") : tr("Port closed"));
}
