#pragma once

#include "IngestWindow.h"

class SerialIngest;

// The broadcast engine's window, titled "Vantorel Ingest".
class VTIngestWindow : public IngestWindow
{
    Q_OBJECT
public:
    explicit VTIngestWindow(SerialIngest& ingest, QWidget* parent = nullptr);

private:
    void update(bool open);

    SerialIngest& m_ingest;
};
