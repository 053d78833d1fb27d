#pragma once

#include "IngestWindow.h"

class NwwsEngine;

// The Weather Wire engine's window, titled "Vantorel NWWS": the server, the
// session's state, the engine's counters and the files it wrote.
class NwwsEngineWindow : public IngestWindow
{
    Q_OBJECT
public:
    explicit NwwsEngineWindow(NwwsEngine& engine, QWidget* parent = nullptr);

private:
    void refresh();

    NwwsEngine& m_engine;
};
