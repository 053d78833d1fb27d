#include "notify/ui/frmEmail.h"

#include "notify/EmailRecipients.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmEmail::frmEmail(const EmailBook& book, QWidget* parent) : QDialog(parent), m_book(book)
{
    setObjectName(QStringLiteral("frmEmail"));
    setWindowTitle(QStringLiteral("Send to E-Mail"));
    lstMail = new QListWidget;
    lstMail->setObjectName(QStringLiteral("lstMail"));
    lstMail->setSelectionMode(QAbstractItemView::MultiSelection);
    QFont fixed(QStringLiteral("Courier New"));
    fixed.setStyleHint(QFont::TypeWriter);
    lstMail->setFont(fixed);
    lstMail->addItems(EmailRecipients::lines(book));
    txtEmail = new QLineEdit;
    txtEmail->setObjectName(QStringLiteral("txtEmail"));
    txtEmail->setToolTip(QStringLiteral("Further addresses, separated by commas"));
    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("Cancel"));
    Command1->setObjectName(QStringLiteral("Command1"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Send the bulletin to:")));
    layout->addWidget(lstMail, 1);
    layout->addWidget(new QLabel(QStringLiteral("Other addresses:")));
    layout->addWidget(txtEmail);
    layout->addLayout(buttons);
    resize(460, 320);

    connect(cmdOK, &QPushButton::clicked, this, &frmEmail::cmdOK_Click);
    connect(Command1, &QPushButton::clicked, this, &frmEmail::Command1_Click);
}

void frmEmail::cmdOK_Click()
{
    QList<int> selected;
    for (const QModelIndex& index : lstMail->selectionModel()->selectedRows())
        selected << index.row();
    m_recipients = EmailRecipients::build(txtEmail->text(), selected, m_book);
    accept();
}

void frmEmail::Command1_Click()
{
    m_recipients.clear();
    reject();
}

QString frmEmail::pick(const EmailBook& book, QWidget* parent)
{
    frmEmail dialog(book, parent);
    dialog.exec();
    return dialog.recipients();
}
