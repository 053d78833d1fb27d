#include "app/ui/frmConfig.h"

#include "app/ui/NwwsConfigBox.h"

#include "app/MainState.h"
#include "app/ui/LocationConfigBox.h"
#include "platform/Prompter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {
QCheckBox* checkBox(const QString& caption, const QString& tip)
{
    auto* box = new QCheckBox(caption);
    box->setToolTip(tip);
    return box;
}

QRadioButton* option(const QString& caption, const QString& tip)
{
    auto* button = new QRadioButton(caption);
    button->setToolTip(tip);
    return button;
}
} // namespace

frmConfig::frmConfig(MainState& state, QWidget* parent)
    : QDialog(parent), m_state(state), m_model(state)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configuration"));
    build();
    Form_Load();
}

QLineEdit* frmConfig::pathField(int index, const QString& tip)
{
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("txtConfig%1").arg(index));
    field->setToolTip(tip);
    txtConfig[index] = field;
    return field;
}

void frmConfig::build()
{
    auto* paths = new QGroupBox(QStringLiteral("Directories"));
    auto* pathGrid = new QGridLayout(paths);
    const struct
    {
        int index;
        const char* label;
        const char* tip;
    } pathRows[] = {
        {0, "Text", "Path for bulletins"},
        {1, "Images", "Path for GIF/JPG files"},
        {3, "Hourly", "Path for SA*.TXT files"},
        {4, "Data-In", "Directory where new files are received"},
        {5, "Custom", "Move files to alternate directory (\"custom\" alarm)"},
    };
    int row = 0;
    for (const auto& r : pathRows) {
        auto* label = new QLabel(QLatin1String(r.label));
        QLineEdit* field = pathField(r.index, QLatin1String(r.tip));
        label->setBuddy(field);
        pathGrid->addWidget(label, row, 0);
        pathGrid->addWidget(field, row, 1);
        const int index = r.index;
        connect(field, &QLineEdit::editingFinished, this,
                [this, index] { txtConfig_Validate(index); });
        ++row;
    }
    txtGphplot = new QLineEdit;
    txtGphplot->setToolTip(QStringLiteral("Directory of GPHPLOT.EXE"));
    pathGrid->addWidget(new QLabel(QStringLiteral("GPHPLOT")), row, 0);
    pathGrid->addWidget(txtGphplot, row++, 1);
    txtWXPlot = new QLineEdit;
    txtWXPlot->setToolTip(QStringLiteral("Directory of WXPLOT"));
    pathGrid->addWidget(new QLabel(QStringLiteral("WXPLOT")), row, 0);
    pathGrid->addWidget(txtWXPlot, row++, 1);
    connect(txtWXPlot, &QLineEdit::editingFinished, this, &frmConfig::txtWXPlot_Validate);

    auto* modeBox = new QGroupBox(QStringLiteral("Operational Mode"));
    auto* modeGrid = new QGridLayout(modeBox);
    optMode = {option(QStringLiteral("Standalone"), QStringLiteral("Direct Ingest (GOES / radio)")),
               option(QStringLiteral("Internet Feed"), QStringLiteral("Internet Push Reception")),
               option(QStringLiteral("Network"), QStringLiteral("Vantorel Network"))};
    for (int i = 0; i < 3; ++i) {
        modeGrid->addWidget(optMode[i], i, 0);
        connect(optMode[i], &QRadioButton::clicked, this, [this, i] { optMode_Click(i); });
    }
    lblPort = new QLabel(QStringLiteral("Comm Port"));
    lstPort = new QComboBox;
    for (int i = 1; i <= 10; ++i)
        lstPort->addItem(QString::number(i));
    lblBaud = new QLabel(QStringLiteral("Baud"));
    lstBaud = new QComboBox;
    lstBaud->addItems({QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("9600"),
                       QStringLiteral("19200")});
    modeGrid->addWidget(lblPort, 0, 1);
    modeGrid->addWidget(lstPort, 0, 2);
    modeGrid->addWidget(lblBaud, 1, 1);
    modeGrid->addWidget(lstBaud, 1, 2);

    auto* mailBox = new QGroupBox(QStringLiteral("E-Mail"));
    auto* mailGrid = new QGridLayout(mailBox);
    txtConfig[7] = new QLineEdit;
    txtConfig[7]->setToolTip(QStringLiteral("SMTP Server Address"));
    txtConfig[8] = new QLineEdit;
    txtConfig[8]->setToolTip(QStringLiteral("E-Mail Sender"));
    mailGrid->addWidget(new QLabel(QStringLiteral("Server")), 0, 0);
    mailGrid->addWidget(txtConfig[7], 0, 1, 1, 2);
    mailGrid->addWidget(new QLabel(QStringLiteral("Personal")), 1, 0);
    mailGrid->addWidget(txtConfig[8], 1, 1, 1, 2);
    lstEmail = new QListWidget;
    for (int i = 1; i <= 25; ++i)
        lstEmail->addItem(QStringLiteral("User ") + QString::number(i));
    lstEmail->setMaximumHeight(90);
    txtEmail = new QLineEdit;
    txtEmail->setToolTip(QStringLiteral("E-Mail Address"));
    txtEmail->installEventFilter(this);
    auto* cmdSetEmail = new QPushButton(QStringLiteral("Set EMail"));
    cmdSetEmail->setToolTip(QStringLiteral("Store EMail Address"));
    mailGrid->addWidget(lstEmail, 2, 0, 1, 3);
    mailGrid->addWidget(txtEmail, 3, 0, 1, 2);
    mailGrid->addWidget(cmdSetEmail, 3, 2);
    connect(lstEmail, &QListWidget::currentRowChanged, this, &frmConfig::lstEmail_Click);
    connect(cmdSetEmail, &QPushButton::clicked, this, &frmConfig::cmdSetEmail_Click);

    auto* idleBox = new QGroupBox(QStringLiteral("Idle Alert"));
    auto* idleGrid = new QGridLayout(idleBox);
    chkIdle = {checkBox(QStringLiteral("E-Mail"), QStringLiteral("Send data-loss alert via email")),
               checkBox(QStringLiteral("Pager"), QStringLiteral("Send data-loss alert via pager")),
               checkBox(QStringLiteral("I-Net"), QStringLiteral("Utilize Internet backup"))};
    for (int i = 0; i < 3; ++i)
        idleGrid->addWidget(chkIdle[i], 0, i);
    txtDelay = new QLineEdit;
    txtDelay->setToolTip(QStringLiteral("Minutes of inactivity"));
    idleGrid->addWidget(new QLabel(QStringLiteral("Minutes")), 1, 0);
    idleGrid->addWidget(txtDelay, 1, 1, 1, 2);
    connect(txtDelay, &QLineEdit::editingFinished, this, &frmConfig::txtDelay_Validate);

    auto* filterBox = new QGroupBox(QStringLiteral("Filters"));
    auto* filterGrid = new QGridLayout(filterBox);
    chkFilter = {
        checkBox(QStringLiteral("US"), QStringLiteral("Check to receive CONUS Bulletins")),
        checkBox(QStringLiteral("N. America"), QStringLiteral("Check to receive non-US Bulletins")),
        checkBox(QStringLiteral("Pacific"), QStringLiteral("Check to receive Pacific Islands"))};
    for (int i = 0; i < 3; ++i) {
        filterGrid->addWidget(chkFilter[i], 0, i);
        connect(chkFilter[i], &QCheckBox::clicked, this,
                [this, i](bool checked) { m_model.filterClicked(i, checked); });
    }
    filterGrid->addWidget(new QLabel(QStringLiteral("Local WFO's")), 1, 0);
    auto* stateRow = new QHBoxLayout;
    const auto* upper = new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[A-Za-z0-9]{0,3}")), this);
    for (int i = 0; i < 3; ++i) {
        txtState[i] = new QLineEdit;
        txtState[i]->setMaxLength(3);
        txtState[i]->setValidator(upper);
        txtState[i]->setToolTip(QStringLiteral("Highlight in Product Listing"));
        connect(txtState[i], &QLineEdit::textEdited, this,
                [this, i](const QString& t) { txtState[i]->setText(ConfigModel::upperKey(t)); });
        stateRow->addWidget(txtState[i]);
    }
    filterGrid->addLayout(stateRow, 1, 1, 1, 2);

    auto* audioBox = new QGroupBox(QStringLiteral("Audio"));
    auto* audioRow = new QHBoxLayout(audioBox);
    chkLimit =
        option(QStringLiteral("Restrict"), QStringLiteral("Mute audio alarms after 5 minutes"));
    chkLimitOne = option(QStringLiteral("Once"), QStringLiteral("Only play audio alarm once"));
    Option1 = option(QStringLiteral("Unlimited"),
                     QStringLiteral("Audio alarms repeated until manually muted"));
    audioRow->addWidget(chkLimit);
    audioRow->addWidget(chkLimitOne);
    audioRow->addWidget(Option1);

    auto* optionBox = new QGroupBox(QStringLiteral("Options"));
    auto* optionGrid = new QGridLayout(optionBox);
    chkMetar = checkBox(QStringLiteral("METAR"), QStringLiteral("Display METAR"));
    txtMETAR = new QLineEdit;
    txtMETAR->setToolTip(QStringLiteral("Display METAR (separate ID's with a comma)"));
    connect(txtMETAR, &QLineEdit::editingFinished, this,
            [this] { txtMETAR->setText(txtMETAR->text().toUpper()); });
    chkReverse =
        checkBox(QStringLiteral("Reverse"), QStringLiteral("Show METAR files from old-to-new"));
    chkLongHeader = checkBox(QStringLiteral("Bulletin Descriptions"),
                             QStringLiteral("Use product description"));
    chkHeader =
        checkBox(QStringLiteral("Expand Headers"), QStringLiteral("Use product description"));
    chkCompress = checkBox(QStringLiteral("Compress Bulletins"),
                           QStringLiteral("Manual E-Mail as compressed text"));
    chkInternet = checkBox(QStringLiteral("Internet"), QStringLiteral("Download missing products"));
    chkRCM = checkBox(QStringLiteral("RCM Unzip"), QStringLiteral("Uncompress SAORCMUS file"));
    chkPurge = checkBox(QStringLiteral("Purge"), QStringLiteral("Enable / disable file purging"));
    txtPurge = new QLineEdit;
    txtPurge->setToolTip(QStringLiteral("Number of hours to save data"));
    txtPurgeProd = new QLineEdit;
    txtPurgeProd->setToolTip(QStringLiteral("Default number of products to archive"));
    optionGrid->addWidget(chkMetar, 0, 0);
    optionGrid->addWidget(txtMETAR, 0, 1, 1, 3);
    optionGrid->addWidget(chkReverse, 1, 0);
    optionGrid->addWidget(chkLongHeader, 1, 1);
    optionGrid->addWidget(chkHeader, 1, 2);
    optionGrid->addWidget(chkCompress, 1, 3);
    optionGrid->addWidget(chkInternet, 2, 0);
    optionGrid->addWidget(chkRCM, 2, 1);
    optionGrid->addWidget(chkPurge, 2, 2);
    optionGrid->addWidget(new QLabel(QStringLiteral("Purge Time:")), 3, 0);
    optionGrid->addWidget(txtPurge, 3, 1);
    optionGrid->addWidget(new QLabel(QStringLiteral("# Prods:")), 3, 2);
    optionGrid->addWidget(txtPurgeProd, 3, 3);

    auto* notifyBox = new QGroupBox(QStringLiteral("Notify"));
    auto* notifyGrid = new QGridLayout(notifyBox);
    chkNotifyDesktop =
        checkBox(QStringLiteral("Desktop"),
                 QStringLiteral("Desktop notification for alarms that show the product"));
    chkNotifySpeak =
        checkBox(QStringLiteral("Speak"), QStringLiteral("Speak the alarm after its sound"));
    chkNotifyMailWords =
        checkBox(QStringLiteral("Words in Mail"),
                 QStringLiteral("Alarm mail and page subjects say what and where"));
    txtNotifyVoice = new QLineEdit;
    txtNotifyVoice->setToolTip(QStringLiteral("Voice (for example en-us)"));
    txtNotifyRate = new QLineEdit;
    txtNotifyRate->setToolTip(QStringLiteral("Words per minute (80 to 450)"));
    notifyGrid->addWidget(chkNotifyDesktop, 0, 0);
    notifyGrid->addWidget(chkNotifySpeak, 0, 1);
    notifyGrid->addWidget(chkNotifyMailWords, 0, 2, 1, 2);
    notifyGrid->addWidget(new QLabel(QStringLiteral("Voice:")), 1, 0);
    notifyGrid->addWidget(txtNotifyVoice, 1, 1);
    notifyGrid->addWidget(new QLabel(QStringLiteral("Rate:")), 1, 2);
    notifyGrid->addWidget(txtNotifyRate, 1, 3);

    auto* cmdOK = new QPushButton(QStringLiteral("Save"));
    cmdOK->setToolTip(QStringLiteral("Save and Close"));
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton(QStringLiteral("Exit"));
    cmdCancel->setToolTip(QStringLiteral("Disregard Changes"));
    connect(cmdOK, &QPushButton::clicked, this, &frmConfig::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* left = new QVBoxLayout;
    left->addWidget(paths);
    left->addWidget(modeBox);
    left->addWidget(optionBox);
    m_location = new LocationConfigBox(m_model);
    left->addWidget(m_location);
    auto* right = new QVBoxLayout;
    right->addWidget(mailBox);
    right->addWidget(idleBox);
    right->addWidget(filterBox);
    right->addWidget(audioBox);
    right->addWidget(notifyBox);
    m_nwws = new NwwsConfigBox(*m_state.services().store, m_state.programDir());
    right->addWidget(m_nwws);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);
}

void frmConfig::Form_Load()
{
    setFields(m_model.load());
    m_nwws->load();
    lstEmail->setCurrentRow(-1);
    txtEmail->clear();
}

ConfigFields frmConfig::fields() const
{
    ConfigFields f;
    f.text = txtConfig[0]->text();
    f.images = txtConfig[1]->text();
    f.hourly = txtConfig[3]->text();
    f.dataIn = txtConfig[4]->text();
    f.custom = txtConfig[5]->text();
    f.server = txtConfig[7]->text();
    f.personal = txtConfig[8]->text();
    f.gphplot = txtGphplot->text();
    f.wxplot = txtWXPlot->text();
    f.mode = optMode[1]->isChecked() ? 1 : (optMode[2]->isChecked() ? 2 : 0);
    f.port = lstPort->currentText();
    f.baud = lstBaud->currentText();
    f.idleEmail = chkIdle[0]->isChecked();
    f.idlePager = chkIdle[1]->isChecked();
    f.idleNet = chkIdle[2]->isChecked();
    f.delay = txtDelay->text();
    for (int i = 0; i < 3; ++i) {
        f.filters[i] = chkFilter[i]->isChecked();
        f.state[i] = txtState[i]->text();
    }
    f.audio = chkLimit->isChecked() ? 0 : (chkLimitOne->isChecked() ? 1 : 2);
    f.metar = chkMetar->isChecked();
    f.metarIds = txtMETAR->text();
    f.reverse = chkReverse->isChecked();
    f.longHeader = chkLongHeader->isChecked();
    f.expandHeader = chkHeader->isChecked();
    f.compress = chkCompress->isChecked();
    f.internet = chkInternet->isChecked();
    f.rcm = chkRCM->isChecked();
    f.purge = chkPurge->isChecked();
    f.purgeTime = txtPurge->text();
    f.purgeProd = txtPurgeProd->text();
    f.latitude = m_location->latitude();
    f.longitude = m_location->longitude();
    f.notifyDesktop = chkNotifyDesktop->isChecked();
    f.notifySpeak = chkNotifySpeak->isChecked();
    f.notifyMailWords = chkNotifyMailWords->isChecked();
    f.notifyVoice = txtNotifyVoice->text();
    f.notifyRate = txtNotifyRate->text();
    return f;
}

void frmConfig::setFields(const ConfigFields& f)
{
    txtConfig[0]->setText(f.text);
    txtConfig[1]->setText(f.images);
    txtConfig[3]->setText(f.hourly);
    txtConfig[4]->setText(f.dataIn);
    txtConfig[5]->setText(f.custom);
    txtConfig[7]->setText(f.server);
    txtConfig[8]->setText(f.personal);
    txtGphplot->setText(f.gphplot);
    txtWXPlot->setText(f.wxplot);
    lstPort->setCurrentIndex(std::clamp(f.port.toInt() - 1, 0, 9));
    lstBaud->setCurrentIndex(std::max(0, lstBaud->findText(f.baud)));
    chkIdle[0]->setChecked(f.idleEmail);
    chkIdle[1]->setChecked(f.idlePager);
    chkIdle[2]->setChecked(f.idleNet);
    txtDelay->setText(f.delay);
    for (int i = 0; i < 3; ++i) {
        chkFilter[i]->setChecked(f.filters[i]);
        txtState[i]->setText(f.state[i]);
    }
    (f.audio == 0 ? chkLimit : (f.audio == 1 ? chkLimitOne : Option1))->setChecked(true);
    chkMetar->setChecked(f.metar);
    txtMETAR->setText(f.metarIds);
    chkReverse->setChecked(f.reverse);
    chkLongHeader->setChecked(f.longHeader);
    chkHeader->setChecked(f.expandHeader);
    chkCompress->setChecked(f.compress);
    chkInternet->setChecked(f.internet);
    chkRCM->setChecked(f.rcm);
    chkPurge->setChecked(true);
    txtPurge->setText(f.purgeTime);
    txtPurgeProd->setText(f.purgeProd);
    m_location->setLocation(f.latitude, f.longitude);
    chkNotifyDesktop->setChecked(f.notifyDesktop);
    chkNotifySpeak->setChecked(f.notifySpeak);
    chkNotifyMailWords->setChecked(f.notifyMailWords);
    txtNotifyVoice->setText(f.notifyVoice);
    txtNotifyRate->setText(f.notifyRate);
    optMode[f.mode]->setChecked(true);
    optMode_Click(f.mode);
}

void frmConfig::optMode_Click(int index)
{
    ConfigFields f = fields();
    m_model.modeClicked(index, f);
    const bool serial = index == 0;
    for (QWidget* w : {static_cast<QWidget*>(lstPort), static_cast<QWidget*>(lstBaud),
                       static_cast<QWidget*>(lblPort), static_cast<QWidget*>(lblBaud)})
        w->setEnabled(serial);
    txtConfig[0]->setText(f.text);
    txtConfig[1]->setText(f.images);
    txtConfig[3]->setText(f.hourly);
    txtConfig[4]->setText(f.dataIn);
}

void frmConfig::txtConfig_Validate(int index)
{
    txtConfig[index]->setText(ConfigModel::validatePath(txtConfig[index]->text()));
}

void frmConfig::txtDelay_Validate()
{
    if (ConfigModel::isValidDelay(txtDelay->text()))
        return;
    // Told once: the message box takes the focus and would finish the edit again.
    const QSignalBlocker blocker(txtDelay);
    txtDelay->setText(m_model.validateDelay(txtDelay->text()));
}

void frmConfig::txtWXPlot_Validate()
{
    if (txtWXPlot->text().isEmpty())
        return;
    bool found = false;
    txtWXPlot->setText(m_model.validateWxPlot(txtWXPlot->text(), &found));
    if (found)
        emit wxPlotFound();
}

void frmConfig::lstEmail_Click()
{
    const int n = lstEmail->currentRow() + 1;
    if (n >= 1)
        txtEmail->setText(m_model.emailEntry(n));
}

void frmConfig::cmdSetEmail_Click()
{
    const int n = lstEmail->currentRow() + 1;
    if (n < 1)
        return;
    m_model.setEmailEntry(n, txtEmail->text(), true);
    m_state.services().prompter->message(QStringLiteral("User #") + QString::number(n) +
                                             QStringLiteral(" set to ") + txtEmail->text(),
                                         QStringLiteral("E-Mail Alarm"),
                                         IPrompter::Icon::Information);
}

bool frmConfig::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the address field keeps the address for this run only.
    if (watched == txtEmail && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int n = lstEmail->currentRow() + 1;
            if (n >= 1) {
                m_model.setEmailEntry(n, txtEmail->text(), false);
                lstEmail->setFocus();
                m_state.services().prompter->message(
                    QStringLiteral("User #") + QString::number(n) + QStringLiteral(" set to ") +
                        txtEmail->text(),
                    QStringLiteral("E-Mail Alarm"), IPrompter::Icon::Information);
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmConfig::cmdOK_Click()
{
    const ConfigModel::SaveResult result = m_model.save(fields());
    if (result == ConfigModel::SaveResult::Invalid || !m_nwws->save())
        return;
    emit saved(); // the settings apply also when they could not be written
    if (result != ConfigModel::SaveResult::NotWritten)
        accept();
}
