// Paging the bulletin on show: the checks, the shortened text, the pick
// list and the page that leaves for the pager picked.
#include "TestSupport.h"
#include "notify/ManualPage.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"

#include <QTest>

namespace {
const QString kPath = QStringLiteral("/opt/abc/abcPager");

struct Fixture : CoreFixture
{
    PagerConfig pagers;
    Pager pager{settings, launcher, kPath};
    ManualPage page{
        ManualPage::Context{settings, display, tables, pagers, pager, prompter, status}};

    Fixture()
    {
        pagers.personalId = QStringLiteral("ATM1");
        pagers.charsPerPage = QStringLiteral("80");
    }
    void defineGroups(const QList<int>& numbers)
    {
        for (const int g : numbers)
            pagers.groups[g - 1].chars = QString::number(10 * g);
    }
    // Recipient and message of a recorded page.
    QStringList sent(int index = 0) const
    {
        const QStringList parts = launcher.startedParts(index);
        return parts.size() == 2 ? parts.at(1).split(QLatin1Char(':')) : QStringList();
    }
};
} // namespace

class TestPagerManual : public QObject
{
    Q_OBJECT
private slots:
    void prepare_data();
    void prepare();
    void targets_data();
    void targets();
    void send_data();
    void send();
};

void TestPagerManual::prepare_data()
{
    QTest::addColumn<bool>("available");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("compress");
    QTest::addColumn<QString>("message"); // empty: the dialog opens
    QTest::addColumn<QString>("paged");   // the text to page and in the display

    const QString warning =
        QStringLiteral("HEAD\r\n* TORNADO   WARNING\r\n* UNTIL 7 PM\r\n* AT 6 PM\r\n* MORE");
    QTest::newRow("paging program missing")
        << false << warning << "TORGRRMI" << false << "abcPager software not found" << warning;
    QTest::newRow("nothing displayed") << true << ""
                                       << "" << false << "No bulletin displayed"
                                       << "";
    QTest::newRow("product not available") << true << "     --- Product not available ---"
                                           << "X" << false << "No bulletin displayed"
                                           << "     --- Product not available ---";
    QTest::newRow("whole text") << true << warning << "TORGRRMI" << false << "" << warning;
    QTest::newRow("shortened warning replaces the display")
        << true << warning << "TORGRRMI" << true << ""
        << "TORNADO WARNING\r\n  UNTIL 7 PM\r\n: AT 6 PM\r\n";
    QTest::newRow("other categories only abbreviated")
        << true << "THE NATIONAL WEATHER SERVICE * SAYS"
        << "AFDGRRMI" << true << ""
        << "THE NWS * SAYS";
}

void TestPagerManual::prepare()
{
    QFETCH(bool, available);
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(bool, compress);
    QFETCH(QString, message);
    QFETCH(QString, paged);
    Fixture f;
    f.home.write(QStringLiteral("dictionary.txt"), "NATIONAL WEATHER SERVICE,NWS\r\n");
    f.tables.loadDictionary(f.home.file(QStringLiteral("dictionary.txt")));
    if (!available)
        f.pager.setProgramPath(QString());
    f.settings.CompressPagerWarnings = compress ? 1 : 0;
    f.display.setDisplay(text, tag);
    const std::optional<QString> prepared = f.page.prepare();
    QCOMPARE(prepared.has_value(), message.isEmpty());
    if (message.isEmpty()) {
        QCOMPARE(*prepared, paged);
        QVERIFY(f.prompter.messages.isEmpty());
    } else {
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, message);
        const bool missing = !available;
        QCOMPARE(f.prompter.messages[0].title,
                 missing ? QStringLiteral("Vantorel Paging Component") : QString());
        QCOMPARE(f.prompter.messages[0].icon,
                 missing ? IPrompter::Icon::Critical : IPrompter::Icon::Information);
    }
    QCOMPARE(f.display.text(), paged);
    QCOMPARE(f.display.tag(), tag);
}

void TestPagerManual::targets_data()
{
    QTest::addColumn<QList<int>>("defined");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("no groups") << QList<int>() << QStringList{"Personal"};
    QTest::newRow("groups 1 and 3")
        << QList<int>{1, 3} << QStringList{"Personal", "Group  1", "Group  3"};
    QTest::newRow("group 10") << QList<int>{10} << QStringList{"Personal", "Group  10"};
}

void TestPagerManual::targets()
{
    QFETCH(QList<int>, defined);
    QFETCH(QStringList, entries);
    Fixture f;
    f.defineGroups(defined);
    QCOMPARE(ManualPage::targets(f.pagers), entries);
}

void TestPagerManual::send_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("suspended");
    QTest::addColumn<QString>("recipient"); // empty: nothing paged
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("status");

    QTest::newRow("personal, CR LF paged as one line")
        << "Personal" << false << "ATM1"
        << "TORNADO WARNING FOR KENT COUNTY UNTIL 7 PM"
        << "";
    QTest::newRow("group 3, cut to its page size") << "Group  3" << false << "!GROUP3"
                                                   << "TORNADO WARNING FOR KENT COUNT"
                                                   << "";
    QTest::newRow("undefined group") << "Group  2" << false << ""
                                     << ""
                                     << "";
    QTest::newRow("suspended: told, nothing paged") << "Personal" << true << ""
                                                    << ""
                                                    << "Paging is suspended: page to ATM1 not sent";
}

void TestPagerManual::send()
{
    QFETCH(QString, entry);
    QFETCH(bool, suspended);
    QFETCH(QString, recipient);
    QFETCH(QString, message);
    QFETCH(QString, status);
    Fixture f;
    f.defineGroups({1, 3});
    f.pager.setSuspended(suspended);
    f.settings.MaxPages = QStringLiteral("1");
    f.page.send(entry, QStringLiteral("TORNADO WARNING\r\nFOR KENT   COUNTY\r\n\r\nUNTIL 7 PM"));
    QCOMPARE(f.launcher.commandLines.size(), recipient.isEmpty() ? 0 : 1);
    if (!recipient.isEmpty()) {
        QCOMPARE(f.sent(), QStringList({recipient, message}));
        QCOMPARE(f.launcher.windows.first(), LaunchWindow::NormalNoFocus);
    }
    QCOMPARE(f.status.text(), status);
}

QTEST_GUILESS_MAIN(TestPagerManual)
#include "tst_pagermanual.moc"
