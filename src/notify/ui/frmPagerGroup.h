#pragma once

#include "notify/PagerSetup.h"

#include <QDialog>
#include <QList>

class IPrompter;
class QComboBox;
class QLineEdit;
class QPushButton;
class SerialOptions;

// "Group Paging": the ten pager groups. Choosing a group shows its fields,
// Save stores them into the group; closing the dialog writes all ten groups
// to groups.ini.
class frmPagerGroup : public QDialog
{
    Q_OBJECT
public:
    frmPagerGroup(PagerSetup setup, IPrompter& prompter, QWidget* parent = nullptr);

    // Every way of closing (Close, Escape, the window's close button) ends here.
    void done(int result) override;

private:
    // Group g: the position chosen in lstGroup plus 1.
    int chosenGroup() const;
    void lstGroup_Click();
    void cmdSave_Click();

    PagerSetup m_setup;
    IPrompter& m_prompter;
    bool m_written = false;
    QComboBox* lstGroup = nullptr;
    QLineEdit* txtDialup = nullptr;
    QLineEdit* txtChar = nullptr;
    QList<QLineEdit*> txtPagerUser;
    SerialOptions* m_serial = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
};
