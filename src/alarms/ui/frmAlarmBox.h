#pragma once

#include "alarms/AlarmEditor.h"
#include "alarms/ui/AlarmGrid.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

// The alarm editor window "EMWIN Alarms": the fields of one definition, the
// grid of all definitions with Copy, Edit and Delete, both sorts, the five
// alarm files and the day-window sliders. The logic is AlarmEditor's; this
// window binds the controls to it. Closing writes the current alarm file; when
// that fails (after a message) the window stays open, so no edit is lost.
class frmAlarmBox : public QWidget
{
    Q_OBJECT
public:
    explicit frmAlarmBox(const AlarmEditor::Context& context, QWidget* parent = nullptr);

    // Presets the pattern field (the lists' "Add to Alarms").
    void setHeader(const QString& text);
    AlarmEditor& editor() { return m_editor; }
    AlarmEditor::Fields fields() const;
    void showFields(const AlarmEditor::Fields& fields);

    // Control names as in the window's design, for tests and bindings.
    QLineEdit* txtHeader() const { return m_header; }
    QComboBox* lstState() const { return m_state; }
    QComboBox* lstCounty() const { return m_county; }
    QCheckBox* chkFull() const { return m_full; }
    QCheckBox* chkPoint() const { return m_point; }
    AlarmGrid* MSF1() const { return m_grid; }
    QRadioButton* optAFile(int i) const { return m_files.at(i); }
    QPushButton* cmdAdd() const { return m_add; }
    QLabel* lblTime() const { return m_time; }

    void cmdAdd_Click();
    void cmdClear_Click();
    void mnuList_Click(int index); // 0 Copy, 1 Edit, 2 Delete
    void optAFile_Click(int index);
    void optAFile_DblClick(int index);
    void refreshGrid();
    // Closes without the question about an unfinished entry; the table is
    // saved. False (the window still open) when the file could not be written.
    bool closeForShutdown();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildPatternRow();
    QWidget* buildSwitches();
    QWidget* buildChoices();
    QWidget* buildTimes();
    QWidget* buildButtons();
    QWidget* buildFiles();
    void fillLists();
    void headerEdited(const QString& text);
    void applyZoneMode(AlarmEditor::ZoneMode mode);
    void fillCounties();
    void showCaptions();

    AlarmEditor m_editor;
    AlarmEditor::ZoneMode m_mode = AlarmEditor::ZoneMode::None;
    QLineEdit* m_header = nullptr;
    QComboBox* m_state = nullptr;
    QComboBox* m_county = nullptr;
    QCheckBox* m_full = nullptr;
    QLabel* m_filter = nullptr;
    QCheckBox* m_point = nullptr; // zone POINT: the user's location
    QCheckBox* m_print = nullptr;
    QCheckBox* m_screen = nullptr;
    QCheckBox* m_scroll = nullptr;
    QCheckBox* m_timeOnly = nullptr;
    QCheckBox* m_log = nullptr;
    QCheckBox* m_list = nullptr;
    QCheckBox* m_compress = nullptr;
    QCheckBox* m_archive = nullptr;
    QComboBox* m_alert = nullptr;
    QComboBox* m_email = nullptr;
    QComboBox* m_pager = nullptr;
    QComboBox* m_exe = nullptr;
    QSlider* m_am = nullptr;
    QSlider* m_pm = nullptr;
    QLabel* m_time = nullptr;
    QPushButton* m_add = nullptr;
    std::array<QRadioButton*, AlarmEditor::FileCount> m_files{};
    AlarmGrid* m_grid = nullptr;
    bool m_askOnClose = true;
};
