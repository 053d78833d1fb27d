#pragma once

#include "IngestWindow.h"

class InternetEngine;

// The Internet engine's window: its title tells whether a server is
// connected, which is how the program finds it.
class EngineWindow : public IngestWindow
{
    Q_OBJECT
public:
    explicit EngineWindow(InternetEngine& engine, QWidget* parent = nullptr);

private:
    void update(bool connected, const QString& server);

    InternetEngine& m_engine;
};
