#pragma once

#include "app/ConfigModel.h"

#include <QDialog>
#include <array>

class LocationConfigBox;
class MainState;
class NwwsConfigBox;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// The configuration dialog: directories, operational mode, mail, alerts,
// filters, METAR defaults, purge and retention numbers.
class frmConfig : public QDialog
{
    Q_OBJECT
public:
    explicit frmConfig(MainState& state, QWidget* parent = nullptr);

    // Fills the fields afresh from the settings.
    void Form_Load();

signals:
    void wxPlotFound();
    void saved();

private:
    void build();
    QLineEdit* pathField(int index, const QString& tip);
    ConfigFields fields() const;
    void setFields(const ConfigFields& f);
    void optMode_Click(int index);
    void txtConfig_Validate(int index);
    void txtWXPlot_Validate();
    void txtDelay_Validate();
    void lstEmail_Click();
    void cmdSetEmail_Click();
    void cmdOK_Click();
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainState& m_state;
    ConfigModel m_model;
    std::array<QLineEdit*, 9> txtConfig{};
    QLineEdit* txtGphplot = nullptr;
    QLineEdit* txtWXPlot = nullptr;
    std::array<QRadioButton*, 3> optMode{};
    QComboBox* lstPort = nullptr;
    QComboBox* lstBaud = nullptr;
    QLabel* lblPort = nullptr;
    QLabel* lblBaud = nullptr;
    std::array<QCheckBox*, 3> chkIdle{};
    QLineEdit* txtDelay = nullptr;
    std::array<QCheckBox*, 3> chkFilter{};
    std::array<QLineEdit*, 3> txtState{};
    QRadioButton* chkLimit = nullptr;
    QRadioButton* chkLimitOne = nullptr;
    QRadioButton* Option1 = nullptr;
    QCheckBox* chkMetar = nullptr;
    QLineEdit* txtMETAR = nullptr;
    QCheckBox* chkReverse = nullptr;
    QCheckBox* chkLongHeader = nullptr;
    QCheckBox* chkHeader = nullptr;
    QCheckBox* chkCompress = nullptr;
    QCheckBox* chkInternet = nullptr;
    QCheckBox* chkRCM = nullptr;
    QCheckBox* chkPurge = nullptr;
    QLineEdit* txtPurge = nullptr;
    QLineEdit* txtPurgeProd = nullptr;
    LocationConfigBox* m_location = nullptr; // the user's location (Warning Map, POINT)
    QCheckBox* chkNotifyDesktop = nullptr;
    QCheckBox* chkNotifySpeak = nullptr;
    QCheckBox* chkNotifyMailWords = nullptr;
    QLineEdit* txtNotifyVoice = nullptr;
    QLineEdit* txtNotifyRate = nullptr;
    QListWidget* lstEmail = nullptr;
    QLineEdit* txtEmail = nullptr;
    NwwsConfigBox* m_nwws = nullptr;
};
