#include "notify/ui/frmPagePick.h"

#include "notify/ManualPage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmPagePick::frmPagePick(ManualPage& page, const PagerConfig& pagers, QString text, QWidget* parent)
    : QDialog(parent), m_page(page), m_text(std::move(text))
{
    setObjectName(QStringLiteral("frmPagePick"));
    setWindowTitle(QStringLiteral("Send to Pager"));
    lstPager = new QComboBox;
    lstPager->setObjectName(QStringLiteral("lstPager"));
    lstPager->addItems(ManualPage::targets(pagers));
    Command1 = new QPushButton(QStringLiteral("Send"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    Command2 = new QPushButton(QStringLiteral("Cancel"));
    Command2->setObjectName(QStringLiteral("Command2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Page the bulletin to:")));
    layout->addWidget(lstPager);
    layout->addLayout(buttons);

    connect(Command1, &QPushButton::clicked, this, &frmPagePick::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
}

void frmPagePick::Command1_Click()
{
    m_page.send(lstPager->currentText(), m_text);
    accept();
}
