#include "notify/ui/frmPager.h"

#include "notify/ui/SerialOptions.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmPager::frmPager(PagerSetup setup, IPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmPager"));
    setWindowTitle(QStringLiteral("Paging Configuration"));
    auto* form = new QFormLayout;
    for (int i = 0; i < 5; ++i)
        txtPager << new QLineEdit;
    const char* const labels[5] = {
        "Dialup #:", "Pager #:", "Characters:", "Username:", "Max Pages:"};
    for (int i : {3, 0, 1, 2, 4}) {
        txtPager[i]->setObjectName(QStringLiteral("txtPager%1").arg(i));
        form->addRow(QLatin1String(labels[i]), txtPager[i]);
    }
    txtPager[3]->setToolTip(QStringLiteral("Username"));
    txtPager[3]->setText(PagerSetup::DefaultUserName);
    m_serial = new SerialOptions;
    chkCompress = new QCheckBox(QStringLiteral("Compress Bulletins"));
    chkCompress->setObjectName(QStringLiteral("chkCompress"));
    chkCompress->setToolTip(QStringLiteral("Send manual pages as compressed text"));
    cmdSave = new QPushButton(QStringLiteral("Save"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdExit = new QPushButton(QStringLiteral("Exit"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    Command1 = new QPushButton(QStringLiteral("Groups"));
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_serial);
    layout->addWidget(chkCompress);
    layout->addLayout(buttons);

    Form_Load();
    connect(txtPager[1], &QLineEdit::editingFinished, this, &frmPager::checkPagerNumber);
    connect(cmdSave, &QPushButton::clicked, this, &frmPager::cmdSave_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command1, &QPushButton::clicked, this, [this] {
        emit groupsRequested();
        close();
    });
}

void frmPager::Form_Load()
{
    const PagerSetup::Personal p = m_setup.personal();
    txtPager[0]->setText(p.dialup);
    txtPager[1]->setText(p.pagerNumber);
    txtPager[2]->setText(p.chars);
    txtPager[3]->setText(p.userName);
    txtPager[4]->setText(p.maxPages);
    m_serial->setValues({p.speed, p.parity, p.dataBits, p.stopBits});
    chkCompress->setChecked(p.compress);
}

bool frmPager::checkPagerNumber()
{
    if (PagerSetup::pagerNumberAcceptable(txtPager[1]->text()))
        return true;
    txtPager[1]->clear();
    m_prompter.message(NumberText, NumberTitle, IPrompter::Icon::Critical);
    return false;
}

void frmPager::cmdSave_Click()
{
    if (!checkPagerNumber())
        return;
    PagerSetup::Personal p;
    p.dialup = txtPager[0]->text();
    p.pagerNumber = txtPager[1]->text();
    p.chars = txtPager[2]->text();
    p.userName = txtPager[3]->text();
    p.maxPages = txtPager[4]->text();
    const SerialOptions::Values serial = m_serial->values();
    p.speed = serial.speed;
    p.parity = serial.parity;
    p.dataBits = serial.dataBits;
    p.stopBits = serial.stopBits;
    p.compress = chkCompress->isChecked();
    try {
        m_setup.savePersonal(p);
    } catch (const RuntimeError& error) {
        m_prompter.message(ErrorReport::format(QStringLiteral("PAGER: cmdSave_Click"), error),
                           QString(), IPrompter::Icon::Exclamation);
        return;
    }
    accept();
}
