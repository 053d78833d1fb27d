#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class StationLookup;

// "METAR Search": looks a station identifier up in the station table.
// Modeless; the main window keeps one instance.
class frmMetar : public QDialog
{
    Q_OBJECT
public:
    explicit frmMetar(const StationLookup& lookup, QWidget* parent = nullptr);

    void cmdSearch_Click();

private:
    const StationLookup& m_lookup;
    QLineEdit* txtMETAR = nullptr;
    QPushButton* cmdSearch = nullptr;
    QLineEdit* Text1 = nullptr;
};
