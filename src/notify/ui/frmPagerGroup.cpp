#include "notify/ui/frmPagerGroup.h"

#include "notify/ui/SerialOptions.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmPagerGroup::frmPagerGroup(PagerSetup setup, IPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_setup(std::move(setup)), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmPagerGroup"));
    setWindowTitle(QStringLiteral("Group Paging"));
    lstGroup = new QComboBox;
    lstGroup->setObjectName(QStringLiteral("lstGroup"));
    for (int g = 1; g <= PagerConfig::GroupCount; ++g)
        lstGroup->addItem(QStringLiteral("Group %1").arg(g));
    txtDialup = new QLineEdit;
    txtDialup->setObjectName(QStringLiteral("txtDialup"));
    txtChar = new QLineEdit;
    txtChar->setObjectName(QStringLiteral("txtChar"));
    txtChar->setToolTip(QStringLiteral("Characters per page; empty = group not used"));
    m_serial = new SerialOptions;
    auto* members = new QGroupBox(QStringLiteral("Pager PINs"));
    auto* grid = new QGridLayout(members);
    for (int m = 0; m < PagerConfig::MemberCount; ++m) {
        auto* pin = new QLineEdit;
        pin->setObjectName(QStringLiteral("txtPagerUser%1").arg(m));
        txtPagerUser << pin;
        grid->addWidget(pin, m / 2, m % 2);
    }
    cmdSave = new QPushButton(QStringLiteral("Save"));
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdClose = new QPushButton(QStringLiteral("Close"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Group:"), lstGroup);
    form->addRow(QStringLiteral("Dialup #:"), txtDialup);
    form->addRow(QStringLiteral("Characters:"), txtChar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_serial);
    layout->addWidget(members);
    layout->addLayout(buttons);

    m_setup.openGroups();
    lstGroup->setCurrentIndex(0);
    lstGroup_Click();
    connect(lstGroup, &QComboBox::currentIndexChanged, this, &frmPagerGroup::lstGroup_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmPagerGroup::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

int frmPagerGroup::chosenGroup() const
{
    return std::max(0, lstGroup->currentIndex()) + 1;
}

void frmPagerGroup::lstGroup_Click()
{
    const PagerConfig::Group& group = m_setup.group(chosenGroup());
    txtDialup->setText(group.dialup);
    txtChar->setText(group.chars);
    m_serial->setValues({group.speed, group.parity, group.dataBits, group.stopBits});
    for (int m = 0; m < PagerConfig::MemberCount; ++m)
        txtPagerUser[m]->setText(group.members.value(m));
}

void frmPagerGroup::cmdSave_Click()
{
    PagerConfig::Group group;
    group.dialup = txtDialup->text();
    group.chars = txtChar->text();
    const SerialOptions::Values serial = m_serial->values();
    group.speed = serial.speed;
    group.parity = serial.parity;
    group.dataBits = serial.dataBits;
    group.stopBits = serial.stopBits;
    for (int m = 0; m < PagerConfig::MemberCount; ++m)
        group.members[m] = txtPagerUser[m]->text();
    // A PIN the pager cannot send to would leave that member without pages.
    const QString problem = PagerSetup::memberPinProblem(group);
    if (!problem.isEmpty()) {
        m_prompter.message(problem, QStringLiteral("Pager Groups"), IPrompter::Icon::Critical);
        return;
    }
    const int g = chosenGroup();
    m_setup.storeGroup(g, group);
    m_prompter.message(QStringLiteral("Group #") + QString::number(g) + QStringLiteral(" saved."),
                       QStringLiteral("Pager Groups"), IPrompter::Icon::Information);
}

void frmPagerGroup::done(int result)
{
    if (!m_written) {
        m_written = true;
        try {
            m_setup.saveGroups();
        } catch (const RuntimeError& error) {
            m_prompter.message(ErrorReport::format(QStringLiteral("PAGER: Form_Unload"), error),
                               QString(), IPrompter::Icon::Exclamation);
        }
    }
    QDialog::done(result);
}
