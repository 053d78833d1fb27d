#pragma once

#include "core/ListKind.h"

#include <QWidget>
#include <array>

class MainState;
class QLineEdit;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// The left side of the main window: the four product lists (one shown at a
// time), the list option buttons, the state filter and manual entry boxes,
// and the older/newer, Images, Log and compact-mode buttons under them.
class ListPane : public QWidget
{
    Q_OBJECT
public:
    ListPane(MainState& state, QMenu& list1Popup, QWidget* parent = nullptr);

    // num 1..4 gives List1..List4.
    QListView* list(ListKind kind) const { return m_list.at(static_cast<int>(kind) - 1); }
    QPushButton* cmdShrink() const { return m_shrink; }
    QPushButton* cmdImageDisplay() const { return m_imageDisplay; }
    QPushButton* cmdMetar() const { return m_metar; }
    // Places the pane: the lists fill height, the controls go below them.
    void place(int width, int listHeight);
    int controlsHeight() const;
    // Selects row index of the live list (a new product chosen from the short menu).
    void selectLive(int row);

private:
    void buildLists(QMenu& list1Popup);
    QWidget* buildControls();
    QWidget* buildOptions();
    QWidget* buildButtons();
    void bindEntryBoxes();
    void showList(ListKind kind);
    void listSelected(ListKind kind);
    void showInternetMode(bool on);

    MainState& m_state;
    QStackedWidget* m_lists = nullptr;
    QWidget* m_controls = nullptr;
    std::array<QListView*, 4> m_list{};
    std::array<QRadioButton*, 4> m_option{};
    QLineEdit* m_stateBox = nullptr;
    QLineEdit* m_manual = nullptr;
    std::array<QPushButton*, 2> m_product{};
    QPushButton* m_shrink = nullptr;
    QPushButton* m_imageDisplay = nullptr;
    QPushButton* m_log = nullptr;
    QPushButton* m_metar = nullptr;
};
