#pragma once

#include "ServerList.h"

#include <QDialog>

class InternetEngine;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class ServerProbe;

// The user's stream servers: add, remove, put in order, and try one ("Test"
// connects once and says what came). Saved into the engine's server list
// file and used at once. The servers that servers advertised are shown too;
// they are tried after the user's own.
class ServerListDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ServerListDialog(InternetEngine& engine, QWidget* parent = nullptr);
    ~ServerListDialog() override;

    QList<ServerList::Server> servers() const;

private:
    void addEntered();
    void removeSelected();
    void moveSelected(int step);
    void testSelected();
    void save();
    void updateButtons();
    QString selectedServer() const;

    InternetEngine& m_engine;
    QListWidget* m_list;
    QListWidget* m_advertised;
    QLineEdit* m_entry;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
    QPushButton* m_test;
    QLabel* m_result;
    ServerProbe* m_probe;
};
