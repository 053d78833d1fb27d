#pragma once

#include <QDialog>
#include <QString>

class ManualPage;
class PagerConfig;
class QComboBox;
class QPushButton;

// Picks the pager for the bulletin page: "Personal" or a defined group.
// Send pages the text to the one chosen and closes; Cancel closes.
class frmPagePick : public QDialog
{
    Q_OBJECT
public:
    frmPagePick(ManualPage& page, const PagerConfig& pagers, QString text,
                QWidget* parent = nullptr);

private:
    void Command1_Click();

    ManualPage& m_page;
    QString m_text;
    QComboBox* lstPager = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};
