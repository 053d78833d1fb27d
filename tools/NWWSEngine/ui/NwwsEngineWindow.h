#pragma once

#include <QWidget>

class NwwsEngine;
class QLabel;
class QListWidget;

// The Weather Wire engine's window, titled "Vantorel NWWS": server, state,
// counters, the last files written and the latest messages.
class NwwsEngineWindow : public QWidget
{
    Q_OBJECT
public:
    explicit NwwsEngineWindow(NwwsEngine& engine, QWidget* parent = nullptr);

    void addLog(const QString& text);
    void hideWindow() { hide(); }
    void showWindow();

private:
    void refresh();

    NwwsEngine& m_engine;
    QLabel* m_state;
    QLabel* m_counters;
    QListWidget* m_lastFiles;
    QListWidget* m_log;
};
