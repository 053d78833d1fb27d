// The paging and mail windows as a user works them: the pager pick of a
// bulletin page, the personal pager and group dialogs down to the page that
// leaves and the pager files written, and the mail recipient dialog.
#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/ManualPage.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "notify/PagerSetup.h"
#include "notify/ui/frmEmail.h"
#include "notify/ui/frmPagePick.h"
#include "notify/ui/frmPager.h"
#include "notify/ui/frmPagerGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
struct Fixture : CoreFixture
{
    PagerConfig pagers;
    Pager pager{settings, launcher, QStringLiteral("/opt/abc/abcPager")};
    ManualPage page{
        ManualPage::Context{settings, display, tables, pagers, pager, prompter, status}};
    QString dir = home.path() + QStringLiteral("/pager/");

    Fixture()
    {
        QDir().mkpath(dir);
        pagers.personalId = QStringLiteral("ATM1");
        pagers.charsPerPage = QStringLiteral("80");
    }
    PagerSetup setup() { return PagerSetup(pagers, settings, store, dir); }
};

template <typename T> T* child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (!found)
        qWarning("no %s", qPrintable(name));
    return found;
}

void click(QWidget& window, const QString& name)
{
    QTest::mouseClick(child<QAbstractButton>(window, name), Qt::LeftButton);
}

void type(QWidget& window, const QString& name, const QString& text)
{
    child<QLineEdit>(window, name)->setText(text);
}
} // namespace

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

class TestNotifyWindows : public QObject
{
    Q_OBJECT
private slots:
    void pickList_data()
    {
        QTest::addColumn<QList<int>>("groups"); // defined groups
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("recipient"); // of the page sent
        QTest::newRow("no groups: Personal only")
            << QList<int>{} << QStringList{"Personal"} << 0 << "ATM1";
        QTest::newRow("groups 1 and 3, the entry of group 3")
            << QList<int>{1, 3} << QStringList{"Personal", "Group  1", "Group  3"} << 2
            << "!GROUP3";
        QTest::newRow("group 10") << QList<int>{10} << QStringList{"Personal", "Group  10"} << 1
                                  << "!GROUP10";
    }
    void pickList()
    {
        QFETCH(QList<int>, groups);
        QFETCH(QStringList, entries);
        QFETCH(int, chosen);
        QFETCH(QString, recipient);
        Fixture f;
        for (const int g : groups)
            f.pagers.groups[g - 1].chars = QStringLiteral("40");
        frmPagePick pick(f.page, f.pagers, QStringLiteral("TORNADO WARNING\r\nKENT COUNTY"));
        pick.show();
        auto* list = child<QComboBox>(pick, QStringLiteral("lstPager"));
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->itemText(i);
        QCOMPARE(shown, entries);
        list->setCurrentIndex(chosen);
        click(pick, QStringLiteral("Command1"));
        QCOMPARE(f.launcher.commandLines.size(), 1);
        const QStringList parts = f.launcher.startedParts(0);
        QCOMPARE(parts.value(1), recipient + ":TORNADO WARNING KENT COUNTY");
        QVERIFY(!pick.isVisible());

        // Cancel pages nothing.
        frmPagePick cancelled(f.page, f.pagers, QStringLiteral("TEXT"));
        cancelled.show();
        click(cancelled, QStringLiteral("Command2"));
        QCOMPARE(f.launcher.commandLines.size(), 1);
    }
    void personalSave()
    {
        Fixture f;
        frmPager dialog(f.setup(), f.prompter);
        dialog.show();
        // Nothing set yet: the user name box shows "ATM1", the page limit "5".
        f.pagers.personalId.clear();
        frmPager fresh(f.setup(), f.prompter);
        QCOMPARE(child<QLineEdit>(fresh, "txtPager3")->text(), QStringLiteral("ATM1"));
        QCOMPARE(child<QLineEdit>(fresh, "txtPager4")->text(), QStringLiteral("5"));

        type(dialog, "txtPager0", "1 616 555 9876");
        type(dialog, "txtPager1", "5551234");
        type(dialog, "txtPager2", "120");
        type(dialog, "txtPager3", "DUTY");
        type(dialog, "txtPager4", "3");
        for (const char* option : {"optBaud2400", "optParityN", "optData8", "optStop1"})
            child<QRadioButton>(dialog, QLatin1String(option))->setChecked(true);
        child<QCheckBox>(dialog, "chkCompress")->setChecked(true);
        click(dialog, "cmdSave");
        QVERIFY(!dialog.isVisible());
        QCOMPARE(
            readBytes(f.dir + "users.ini"),
            QByteArray("DUTY\r\n5551234\r\n1 616 555 9876\r\n\r\n2400\r\n,N,8,1\r\n120\r\n\r\n"));
        QCOMPARE(f.store.read("Pager", "MaxPages", "?"), QStringLiteral("3"));
        QCOMPARE(f.store.read("Pager", "CompressPagerWarnings", "?"), QStringLiteral("1"));
        QCOMPARE(f.pagers.personalId, QStringLiteral("DUTY"));

        // Opened again, the dialog shows what was saved.
        frmPager again(f.setup(), f.prompter);
        QCOMPARE(child<QLineEdit>(again, "txtPager2")->text(), QStringLiteral("120"));
        QVERIFY(child<QRadioButton>(again, "optBaud2400")->isChecked());
        QVERIFY(child<QRadioButton>(again, "optData8")->isChecked());
        QVERIFY(child<QCheckBox>(again, "chkCompress")->isChecked());

        // Exit closes without saving.
        type(again, "txtPager3", "OTHER");
        click(again, "cmdExit");
        QCOMPARE(f.pagers.personalId, QStringLiteral("DUTY"));
    }
    void pagerNumberWithDash()
    {
        Fixture f;
        frmPager dialog(f.setup(), f.prompter);
        dialog.show();
        auto* number = child<QLineEdit>(dialog, "txtPager1");
        number->setText(QStringLiteral("555-1234"));
        emit number->editingFinished();
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text,
                 QStringLiteral("No dashes or other non-numeric characters allowed."));
        QCOMPARE(f.prompter.messages[0].title, QStringLiteral("Pager ID Number"));
        QCOMPARE(f.prompter.messages[0].icon, IPrompter::Icon::Critical);
        QVERIFY(number->text().isEmpty());
        // Save with a dash still in the box writes nothing.
        number->setText(QStringLiteral("555-1234"));
        click(dialog, "cmdSave");
        QVERIFY(!QFileInfo::exists(f.dir + "users.ini"));
        QVERIFY(dialog.isVisible());
    }
    void groupSaveAndClose()
    {
        Fixture f;
        f.pagers.groups[0].chars = QStringLiteral("80");
        f.pagers.groups[0].dialup = QStringLiteral("5550001");
        f.pagers.groups[0].speed = QStringLiteral("9600");
        f.pagers.groups[0].members[0] = QStringLiteral("1001");
        f.pagers.saveGroups(f.dir);
        f.pagers.groups[0] = PagerConfig::Group(); // the dialog reads the file
        frmPagerGroup dialog(f.setup(), f.prompter);
        dialog.show();
        // Group 1 is chosen on opening, with its fields.
        QCOMPARE(child<QComboBox>(dialog, "lstGroup")->currentText(), QStringLiteral("Group 1"));
        QCOMPARE(child<QLineEdit>(dialog, "txtDialup")->text(), QStringLiteral("5550001"));
        QVERIFY(child<QRadioButton>(dialog, "optBaud9600")->isChecked());
        QCOMPARE(child<QLineEdit>(dialog, "txtPagerUser0")->text(), QStringLiteral("1001"));

        child<QComboBox>(dialog, "lstGroup")->setCurrentIndex(2);
        QVERIFY(child<QLineEdit>(dialog, "txtDialup")->text().isEmpty());
        type(dialog, "txtDialup", "5550003");
        type(dialog, "txtChar", "40");
        type(dialog, "txtPagerUser0", "3001");
        type(dialog, "txtPagerUser9", "3010");
        for (const char* option : {"optBaud1200", "optParityE", "optData7", "optStop2"})
            child<QRadioButton>(dialog, QLatin1String(option))->setChecked(true);
        click(dialog, "cmdSave");
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("Group #3 saved."));
        QCOMPARE(f.prompter.messages[0].title, QStringLiteral("Pager Groups"));
        // Back to group 1 and to group 3: the stored fields come back.
        child<QComboBox>(dialog, "lstGroup")->setCurrentIndex(0);
        child<QComboBox>(dialog, "lstGroup")->setCurrentIndex(2);
        QCOMPARE(child<QLineEdit>(dialog, "txtPagerUser9")->text(), QStringLiteral("3010"));

        click(dialog, "cmdClose");
        const QStringList lines =
            QString::fromLatin1(readBytes(f.dir + "groups.ini")).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(34, 17),
                 QStringList({"GROUP3", "5550003", "", "1200", ",E,7,2", "40", "3001", "", "", "",
                              "", "", "", "", "", "3010", ""}));
        QCOMPARE(lines.mid(0, 2), QStringList({"GROUP1", "5550001"}));
        // Paging sees the new group at once.
        QCOMPARE(f.pagers.definedGroups(), QList<int>({1, 3}));
    }
    void groupCloseWithoutSaving()
    {
        Fixture f;
        f.pagers.groups[1].chars = QStringLiteral("100");
        f.pagers.groups[1].members[0] = QStringLiteral("2001");
        f.pagers.saveGroups(f.dir);
        const QByteArray before = readBytes(f.dir + "groups.ini");
        frmPagerGroup dialog(f.setup(), f.prompter);
        dialog.show();
        type(dialog, "txtChar", "55"); // edited, never saved
        dialog.close();
        QCOMPARE(readBytes(f.dir + "groups.ini"), before);
        QVERIFY(f.prompter.messages.isEmpty());
    }
    void groupMemberPinRefused()
    {
        Fixture f;
        frmPagerGroup dialog(f.setup(), f.prompter);
        dialog.show();
        type(dialog, "txtChar", "80");
        type(dialog, "txtPagerUser0", "1001");
        type(dialog, "txtPagerUser1", "555-1234");
        click(dialog, "cmdSave");
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY2(f.prompter.messages[0].text.startsWith("Member 2: pager PIN \"555-1234\""),
                 qPrintable(f.prompter.messages[0].text));
        QCOMPARE(f.prompter.messages[0].icon, IPrompter::Icon::Critical);
        // Nothing stored: the group stays undefined until the PIN is mended.
        QVERIFY(f.pagers.definedGroups().isEmpty());
        type(dialog, "txtPagerUser1", "5551234");
        click(dialog, "cmdSave");
        QCOMPARE(f.prompter.messages.last().text, QStringLiteral("Group #1 saved."));
        QCOMPARE(f.pagers.definedGroups(), QList<int>({1}));
    }

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

QTEST_MAIN(TestNotifyWindows)
#include "tst_notifywindows.moc"
