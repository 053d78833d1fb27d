#pragma once

#include "notify/PagerSetup.h"

#include <QDialog>
#include <QList>

class IPrompter;
class QCheckBox;
class QLineEdit;
class QPushButton;
class SerialOptions;

// "Paging Configuration": the personal pager, its modem settings, the page
// limit and compression. Save stores them (users.ini and the settings) and
// closes, Exit closes without saving, Groups opens the group dialog instead.
class frmPager : public QDialog
{
    Q_OBJECT
public:
    static inline const QString NumberText =
        QStringLiteral("No dashes or other non-numeric characters allowed.");
    static inline const QString NumberTitle = QStringLiteral("Pager ID Number");

    frmPager(PagerSetup setup, IPrompter& prompter, QWidget* parent = nullptr);

signals:
    // Groups was pressed: the group dialog is to be opened.
    void groupsRequested();

private:
    void Form_Load();
    bool checkPagerNumber();
    void cmdSave_Click();

    PagerSetup m_setup;
    IPrompter& m_prompter;
    QList<QLineEdit*> txtPager; // 0 dial-up, 1 pager number, 2 characters, 3 user, 4 max pages
    SerialOptions* m_serial = nullptr;
    QCheckBox* chkCompress = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdExit = nullptr;
    QPushButton* Command1 = nullptr;
};
