#pragma once

#include "IngestWindow.h"

#include <QPointer>

class InternetEngine;
class ServerListDialog;

// The Internet engine's window: its title tells whether a server is
// connected, which is how the program finds it. "Servers..." opens the
// user's server list.
class EngineWindow : public IngestWindow
{
    Q_OBJECT
public:
    explicit EngineWindow(InternetEngine& engine, QWidget* parent = nullptr);

    // The user's server list, in a dialog of its own.
    void openServerList();

private:
    void update(bool connected, const QString& server);

    InternetEngine& m_engine;
    QPointer<ServerListDialog> m_serverList;
};
