#pragma once

#include <QDialog>

class IPrompter;
class QComboBox;
class QPushButton;
class ZoneSegmentSearch;

// "Zone Search": choose a state and one of its zones to see only that zone's
// segment of the bulletin on show. Closes itself after a successful search.
class frmUGC : public QDialog
{
    Q_OBJECT
public:
    frmUGC(ZoneSegmentSearch& search, IPrompter& prompter, QWidget* parent = nullptr);

    void lstState_Click();
    void cmdSearch_Click();

private:
    void Form_Load();

    ZoneSegmentSearch& m_search;
    IPrompter& m_prompter;
    QComboBox* lstState = nullptr;
    QComboBox* lstCounty = nullptr;
    QPushButton* cmdSearch = nullptr;
};
