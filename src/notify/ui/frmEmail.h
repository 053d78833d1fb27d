#pragma once

#include <QDialog>
#include <QString>

class EmailBook;
class QLineEdit;
class QListWidget;
class QPushButton;

// The recipient dialog of bulletin mail: the address book's lines to
// select from and a box for further addresses. OK builds the recipients,
// Cancel leaves them empty.
class frmEmail : public QDialog
{
    Q_OBJECT
public:
    explicit frmEmail(const EmailBook& book, QWidget* parent = nullptr);

    // The recipients built by OK; empty after Cancel or a close.
    QString recipients() const { return m_recipients; }
    // Shows the dialog modally and returns its recipients.
    static QString pick(const EmailBook& book, QWidget* parent);

private:
    void cmdOK_Click();
    void Command1_Click();

    const EmailBook& m_book;
    QString m_recipients;
    QListWidget* lstMail = nullptr;
    QLineEdit* txtEmail = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* Command1 = nullptr;
};
