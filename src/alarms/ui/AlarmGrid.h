#pragma once

#include <QTableWidget>

class AlarmEditor;
class QMenu;

// The grid of the alarm editor ("MSF1"): one row per alarm definition in a
// fixed-width font, whole rows selected, and the pop-up menu Copy, Edit,
// Delete on a row (a double-click is Edit).
class AlarmGrid : public QTableWidget
{
    Q_OBJECT
public:
    enum Command
    {
        Copy = 0,
        Edit = 1,
        Delete = 2
    };

    explicit AlarmGrid(QWidget* parent = nullptr);

    // Shows the editor's definitions, reusing the cells already there.
    void showRows(const AlarmEditor& editor);
    // The selected row, else the current one; -1 for none.
    int selectedRow() const;

signals:
    void commandRequested(int command);

private:
    void popupAt(QPoint at);

    QMenu* m_popup;
};
