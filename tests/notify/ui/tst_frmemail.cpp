// The recipient dialog of bulletin mail: what its list shows and the
// recipients that OK and Cancel leave for the mail.
#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/ui/frmEmail.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
struct Dialog
{
    explicit Dialog(const EmailBook& book) : form(book)
    {
        form.show();
        list = form.findChild<QListWidget*>(QStringLiteral("lstMail"));
        typed = form.findChild<QLineEdit*>(QStringLiteral("txtEmail"));
        ok = form.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        cancel = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    }
    void select(const QList<int>& rows)
    {
        for (const int row : rows)
            list->item(row)->setSelected(true);
    }

    frmEmail form;
    QListWidget* list = nullptr;
    QLineEdit* typed = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};
} // namespace

class TestFrmEmail : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_book.loadUsers(m_home.write(QStringLiteral("email-users.txt"),
                                      "# county groups\r\nSpotters*sp1@x.org;sp2@x.org\r\n"
                                      "EOC*eoc@county.gov\r\nA very long group name*l@x.org\r\n"),
                         QStringLiteral("me@x.org"));
    }
    void lines()
    {
        Dialog d(m_book);
        QStringList shown;
        for (int i = 0; i < d.list->count(); ++i)
            shown << d.list->item(i)->text();
        QCOMPARE(shown,
                 QStringList({"Personal    * me@x.org", "Spotters    * sp1@x.org,sp2@x.org",
                              "EOC         * eoc@county.gov", "A very long group name * l@x.org"}));
    }
    void recipients_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("recipients");
        QTest::newRow("personal and a group")
            << "" << QList<int>{0, 1} << "me@x.org,sp1@x.org,sp2@x.org,";
        QTest::newRow("typed first, then the lines in list order")
            << "boss@x.org" << QList<int>{2, 0} << "boss@x.org,me@x.org,eoc@county.gov,";
        QTest::newRow("typed only") << "a@x.org,b@x.org" << QList<int>{} << "a@x.org,b@x.org,";
        QTest::newRow("nothing chosen") << "" << QList<int>{} << "";
    }
    void recipients()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, rows);
        QFETCH(QString, recipients);
        Dialog d(m_book);
        d.typed->setText(typed);
        d.select(rows);
        QTest::mouseClick(d.ok, Qt::LeftButton);
        QCOMPARE(d.form.result(), int(QDialog::Accepted));
        QCOMPARE(d.form.recipients(), recipients);
    }
    void cancelLeavesNone()
    {
        Dialog d(m_book);
        d.typed->setText(QStringLiteral("a@x.org"));
        d.select({0, 1});
        QTest::mouseClick(d.cancel, Qt::LeftButton);
        QCOMPARE(d.form.result(), int(QDialog::Rejected));
        QVERIFY(d.form.recipients().isEmpty());
        QVERIFY(!d.form.isVisible());
    }

private:
    TestHome m_home;
    EmailBook m_book;
};

QTEST_MAIN(TestFrmEmail)
#include "tst_frmemail.moc"
