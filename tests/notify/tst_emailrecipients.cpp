#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/EmailRecipients.h"

#include <QTest>

namespace {
EmailBook book(const TestHome& home)
{
    EmailBook b;
    b.loadUsers(home.write(QStringLiteral("email-users.txt"),
                           "Spotters*sp1@x.org;sp2@x.org\r\n"
                           "# comment\r\n"
                           "A very long group name*long@x.org\r\n"
                           "no separator line\r\n"
                           "Empty*\r\n"),
                QStringLiteral("me@x.org"));
    return b;
}
} // namespace

class TestEmailRecipients : public QObject
{
    Q_OBJECT
private slots:
    void lines();
    void build_data();
    void build();
};

void TestEmailRecipients::lines()
{
    TestHome home;
    QCOMPARE(EmailRecipients::lines(book(home)),
             QStringList({"Personal    * me@x.org", "Spotters    * sp1@x.org,sp2@x.org",
                          "A very long group name * long@x.org", "Empty       * "}));
    QCOMPARE(EmailRecipients::lines(EmailBook()), QStringList({"Personal    * "}));
}

void TestEmailRecipients::build_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QString>("recipients");
    QTest::newRow("nothing") << "" << QList<int>() << "";
    QTest::newRow("personal and a group")
        << "" << QList<int>{0, 1} << "me@x.org,sp1@x.org,sp2@x.org,";
    QTest::newRow("typed first") << "extra@x.org" << QList<int>{2} << "extra@x.org,long@x.org,";
    QTest::newRow("typed only") << "a@x.org,b@x.org" << QList<int>() << "a@x.org,b@x.org,";
    QTest::newRow("selection in list order") << "" << QList<int>{2, 0} << "me@x.org,long@x.org,";
    QTest::newRow("empty entry adds a lone comma") << "" << QList<int>{3} << ",";
    QTest::newRow("lines past the book are ignored") << "" << QList<int>{4, -1, 0} << "me@x.org,";
}

void TestEmailRecipients::build()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, selected);
    QFETCH(QString, recipients);
    TestHome home;
    QCOMPARE(EmailRecipients::build(typed, selected, book(home)), recipients);
}

QTEST_GUILESS_MAIN(TestEmailRecipients)
#include "tst_emailrecipients.moc"
