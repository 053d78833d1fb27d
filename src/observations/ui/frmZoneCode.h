#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ZoneListing;

// "Zone Code Search": two letters of a state code list that state's forecast
// zones; Facility List shows the list of NWS offices. Modeless; the main
// window keeps one instance.
class frmZoneCode : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 258; // 3870 twips

    explicit frmZoneCode(const ZoneListing& listing, QWidget* parent = nullptr);

    void Text1_KeyUp();
    void Command1_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const ZoneListing& m_listing;
    QLineEdit* Text1 = nullptr;
    QPlainTextEdit* txtState = nullptr;
    QPushButton* Command1 = nullptr;
};
