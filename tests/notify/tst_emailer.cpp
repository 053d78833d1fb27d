// Bulletin and alarm mail: what reaches the mailer's command line, the body
// file and "email-log.txt", and how a failed send is reported.
#include "TestSupport.h"
#include "notify/EmailBook.h"
#include "notify/Emailer.h"
#include "notify/MailSender.h"
#include "notify/SendFailures.h"
#include "product/BulletinText.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString kAt = QStringLiteral(" at 12/6/2026 6:27:51 PM");

struct Fixture : CoreFixture
{
    EmailBook book;
    MailSender mail{programDir, launcher};
    SendFailures failures{status, clock};
    Emailer emailer{
        Emailer::Context{settings, menus, tables, book, display, status, prompter, clock, mail}};
    int picks = 0;

    Fixture()
    {
        mail.setFailures(&failures);
        book.loadUsers(home.write(QStringLiteral("prog/email-users.txt"),
                                  "# groups\r\nSpotters*sp1@x.org;sp2@x.org\r\n"
                                  "Comma*c@x.org,\r\nEmpty*\r\nEND\r\n"),
                       QStringLiteral("me@x.org"));
    }
    Emailer::RecipientPicker picker(const QString& recipients)
    {
        return [this, recipients] {
            ++picks;
            return recipients;
        };
    }
    QString log() const { return QString::fromLatin1(readBytes(programDir + "email-log.txt")); }
    QString command(const QString& bodyFile, const QString& subject,
                    const QString& recipients) const
    {
        return programDir + "blat \"" + programDir + bodyFile + "\" -s \"" + subject + "\" -t " +
               recipients + " ";
    }
    // The body file named on the last command line.
    QString lastBodyFile() const
    {
        const QStringList parts = launcher.startedParts(0, programDir);
        return parts.size() > 1 ? QDir(programDir).relativeFilePath(parts.at(1)) : QString();
    }
};
} // namespace

class TestEmailer : public QObject
{
    Q_OBJECT
private slots:
    void bulletinMail_data();
    void bulletinMail();
    void alarmMail_data();
    void alarmMail();
    void recipientsStayOneArgument_data();
    void recipientsStayOneArgument();
    void compressedTornadoWarning();
    void productTakenBeforeTheDialog();
    void failedSendIsReported_data();
    void failedSendIsReported();
    void unwritableBodies();
    void twoAlarmMailsTwoBodyFiles();
};

void TestEmailer::bulletinMail_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<bool>("stripLF");
    QTest::addColumn<QString>("tagText");
    QTest::addColumn<QString>("command"); // empty: nothing started
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("message");

    const QString text = QStringLiteral("LINE 1\r\nLINE 2\r\n");
    QTest::newRow("personal and a group, final comma dropped")
        << text << "AFDGRRMI"
        << "me@x.org,sp1@x.org,sp2@x.org," << false << ""
        << "output.txt|AFDGRRMI|me@x.org,sp1@x.org,sp2@x.org"
        << "Emailing AFDGRRMI to me@x.org,sp1@x.org,sp2@x.org" + kAt
        << QByteArray("LINE 1\r\nLINE 2\r\n\r\n") << "";
    QTest::newRow("cancel sends nothing and logs nothing") << text << "AFDGRRMI"
                                                           << "" << false << ""
                                                           << ""
                                                           << "" << QByteArray() << "";
    QTest::newRow("nothing displayed") << ""
                                       << "AFDGRRMI"
                                       << "me@x.org," << false << ""
                                       << ""
                                       << "" << QByteArray() << "No bulletin displayed";
    QTest::newRow("product not available") << "     --- Product not available ---"
                                           << "AFDGRRMI"
                                           << "me@x.org," << false << ""
                                           << ""
                                           << "" << QByteArray() << "No bulletin displayed";
    QTest::newRow("short product name") << text << "AFD"
                                        << "me@x.org," << false << ""
                                        << "output.txt|EMWIN Bulletin|me@x.org"
                                        << "Emailing EMWIN Bulletin to me@x.org" + kAt
                                        << QByteArray("LINE 1\r\nLINE 2\r\n\r\n") << "";
    QTest::newRow("two characters of recipients send nothing") << text << "AFDGRRMI"
                                                               << "ab," << false << ""
                                                               << ""
                                                               << "" << QByteArray() << "";
    QTest::newRow("tag text in front")
        << text << "AFDGRRMI"
        << "me@x.org," << false << "FROM WX DESK\r\n"
        << "output.txt|AFDGRRMI|me@x.org"
        << "Emailing AFDGRRMI to me@x.org" + kAt
        << QByteArray("FROM WX DESK\r\nLINE 1\r\nLINE 2\r\n\r\n") << "";
    QTest::newRow("strip-LF: the text's line ends, not the tag's")
        << text << "AFDGRRMI"
        << "me@x.org," << true << "FROM WX DESK\r\n"
        << "output.txt|AFDGRRMI|me@x.org"
        << "Emailing AFDGRRMI to me@x.org" + kAt
        << QByteArray("FROM WX DESK\r\nLINE 1\nLINE 2\r\n\r\n") << "";
    QTest::newRow("test product gets the subject TEST")
        << text << "TESTGRR"
        << "me@x.org," << false << ""
        << "output.txt|TEST|me@x.org"
        << "Emailing TEST to me@x.org" + kAt << QByteArray("LINE 1\r\nLINE 2\r\n\r\n") << "";
}

void TestEmailer::bulletinMail()
{
    QFETCH(QString, text);
    QFETCH(QString, tag);
    QFETCH(QString, picked);
    QFETCH(bool, stripLF);
    QFETCH(QString, tagText);
    QFETCH(QString, command);
    QFETCH(QString, logLine);
    QFETCH(QByteArray, body);
    QFETCH(QString, message);

    Fixture f;
    f.settings.stripLF = stripLF;
    f.book.setTag(tagText);
    f.display.setDisplay(text, tag);
    f.emailer.mailShownBulletin(f.picker(picked));

    QCOMPARE(f.picks, message.isEmpty() ? 1 : 0);
    QCOMPARE(f.prompter.messages.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(f.prompter.messages[0].text, message);
    const QStringList c = command.split(QLatin1Char('|'));
    QCOMPARE(f.launcher.commandLines,
             command.isEmpty() ? QStringList() : QStringList{f.command(c[0], c[1], c[2])});
    if (!command.isEmpty())
        QCOMPARE(f.launcher.windows.first(), LaunchWindow::Hidden);
    QCOMPARE(f.log(), logLine.isEmpty() ? QString() : logLine + "\r\n");
    QCOMPARE(readBytes(f.programDir + "output.txt"), body);
}

void TestEmailer::alarmMail_data()
{
    QTest::addColumn<int>("method");
    QTest::addColumn<bool>("suspended");
    QTest::addColumn<bool>("stripLF");
    QTest::addColumn<QString>("recipients"); // on the command line; empty: nothing sent
    QTest::addColumn<QString>("logLine");
    QTest::addColumn<QByteArray>("body");

    const QByteArray body = "TORNADO WARNING\r\nKENT COUNTY\r\n\r\n";
    QTest::newRow("own address") << 0 << false << false << "me@x.org"
                                 << "ALARM TORGRR to me@x.org" + kAt << body;
    QTest::newRow("a group") << 1 << false << false << "sp1@x.org,sp2@x.org"
                             << "ALARM TORGRR to sp1@x.org,sp2@x.org" + kAt << body;
    QTest::newRow("trailing comma dropped") << 2 << false << false << "c@x.org"
                                            << "ALARM TORGRR to c@x.org" + kAt << body;
    QTest::newRow("empty address: logged, not sent") << 3 << false << false << ""
                                                     << "ALARM TORGRR to " + kAt << QByteArray();
    QTest::newRow("entry not in the book: logged, not sent")
        << 250 << false << false << ""
        << "ALARM TORGRR to " + kAt << QByteArray();
    QTest::newRow("method above 250") << 251 << false << false << ""
                                      << "" << QByteArray();
    QTest::newRow("negative method") << -1 << false << false << ""
                                     << "" << QByteArray();
    QTest::newRow("suspended: nothing logged or sent") << 0 << true << false << ""
                                                       << "" << QByteArray();
    QTest::newRow("strip-LF: tag first, then every line end")
        << 0 << false << true << "me@x.org"
        << "ALARM TORGRR to me@x.org" + kAt
        << QByteArray("TAG\nTORNADO WARNING\nKENT COUNTY\r\n\r\n");
}

void TestEmailer::alarmMail()
{
    QFETCH(int, method);
    QFETCH(bool, suspended);
    QFETCH(bool, stripLF);
    QFETCH(QString, recipients);
    QFETCH(QString, logLine);
    QFETCH(QByteArray, body);

    Fixture f;
    f.settings.stripLF = stripLF;
    if (stripLF)
        f.book.setTag(QStringLiteral("TAG\r\n"));
    f.emailer.setSuspended(suspended);
    f.emailer.getalarm_alarmEMail(QStringLiteral("TORNADO WARNING\r\nKENT COUNTY\r\n"), method,
                                  QStringLiteral("TORGRR"));
    QCOMPARE(f.log(), logLine.isEmpty() ? QString() : logLine + "\r\n");
    QCOMPARE(f.launcher.commandLines.size(), recipients.isEmpty() ? 0 : 1);
    if (recipients.isEmpty())
        return;
    const QString bodyFile = f.lastBodyFile();
    QVERIFY2(MailSender::isAlarmBodyFileName(bodyFile), qPrintable(bodyFile));
    QCOMPARE(f.launcher.commandLines.first(), f.command(bodyFile, "TORGRR", recipients));
    QCOMPARE(readBytes(f.programDir + bodyFile), body);
    QVERIFY(!QFile::exists(f.programDir + "output.txt"));
}

void TestEmailer::recipientsStayOneArgument_data()
{
    QTest::addColumn<QString>("picked");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("recipients"); // the one argument after -t
    QTest::addColumn<QString>("subject");    // the one argument after -s
    QTest::newRow("blank and option in the typed addresses") << "a@x.org -bcc evil@x.org,"
                                                             << "AFDGRRMI"
                                                             << "a@x.org -bcc evil@x.org"
                                                             << "AFDGRRMI";
    QTest::newRow("address starting with a dash") << "-f@x.org,"
                                                  << "AFDGRRMI"
                                                  << "-f@x.org"
                                                  << "AFDGRRMI";
    QTest::newRow("comma and blank between addresses") << "a@x.org, b@x.org,"
                                                       << "AFDGRRMI"
                                                       << "a@x.org, b@x.org"
                                                       << "AFDGRRMI";
    QTest::newRow("quote in the addresses") << "\"Ops\" <a@x.org>,"
                                            << "AFDGRRMI"
                                            << "\"Ops\" <a@x.org>"
                                            << "AFDGRRMI";
    QTest::newRow("tab and line end") << "a@x.org\t-cc\nb@x.org,"
                                      << "AFDGRRMI"
                                      << "a@x.org\t-cc\nb@x.org"
                                      << "AFDGRRMI";
    QTest::newRow("subject that looks like options") << "a@x.org,"
                                                     << "-t evil@x.org -server bad"
                                                     << "a@x.org"
                                                     << "-t evil@x.org -server bad";
    QTest::newRow("quote in the subject") << "a@x.org,"
                                          << "TOR\"GRR\" ~KGRR~MI"
                                          << "a@x.org"
                                          << "TOR\"GRR\" ~KGRR~MI";
}

void TestEmailer::recipientsStayOneArgument()
{
    QFETCH(QString, picked);
    QFETCH(QString, tag);
    QFETCH(QString, recipients);
    QFETCH(QString, subject);
    Fixture f;
    f.display.setDisplay(QStringLiteral("TEXT"), tag);
    f.emailer.mailShownBulletin(f.picker(picked));
    QCOMPARE(f.launcher.commandLines.size(), 1);
    const QStringList parts = f.launcher.startedParts(0, f.programDir);
    QCOMPARE(parts, QStringList({f.programDir + "blat", f.programDir + "output.txt", "-s", subject,
                                 "-t", recipients}));
    // The alarm path builds its line the same way.
    f.book.setAddress(5, picked);
    f.emailer.getalarm_alarmEMail(QStringLiteral("TEXT"), 5, tag);
    const QStringList alarm = f.launcher.startedParts(1, f.programDir);
    QCOMPARE(alarm.mid(2), QStringList({"-s", subject, "-t", recipients}));
}

void TestEmailer::compressedTornadoWarning()
{
    Fixture f;
    f.tables.loadDictionary(QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/dictionary.vantorel.txt"));
    const QString text = BulletinText::clean(
        readBytes(testDataPath(QStringLiteral("corpus/products/TORDMXIA.TXT"))));
    QVERIFY(text.contains(QStringLiteral("* TORNADO WARNING FOR...")));
    f.settings.CompressEmailWarnings = 1;
    f.display.setDisplay(text, QStringLiteral("TORDMX   ~KDMX~IA"));
    f.emailer.mailShownBulletin(f.picker(QStringLiteral("me@x.org,")));
    const QString body = QString::fromLatin1(readBytes(f.programDir + "output.txt"));
    // From two characters after the first bullet on, runs of blanks made
    // single, the next bullets a blank and a colon, cut before the third;
    // then the dictionary's abbreviations.
    QCOMPARE(body, QStringLiteral("TOR WRN FOR...\r\n"
                                  " E LUCAS CO IN S CNTRL IOWA...\r\n"
                                  " SE MARION CO IN S CNTRL IOWA...\r\n"
                                  " NW MONROE CO IN S CNTRL IOWA...\r\n"
                                  "\r\n"
                                  "  TIL 1215 AM CDT\r\n"
                                  "\r\n"
                                  ": AT 1132 PM CDT...NWS RADAR INDICATED A\r\n"
                                  " SVR TSTM CAPABLE OF PRODUCING A TOR. THIS DANGEROUS\r\n"
                                  " STORM WAS LOCATED 8 MI E OF CHARITON...OR 27 MI NW\r\n"
                                  " OF CENTERVILLE...AND MOVG NE AT 45 MPH.\r\n"
                                  "\r\n"
                                  "\r\n"));
    // The display keeps the whole product.
    QCOMPARE(f.display.text(), text);
    // Other categories are only abbreviated.
    QVERIFY(f.launcher.finish(0, {}));
    f.display.setDisplay(QStringLiteral("* NATIONAL WEATHER SERVICE  *"),
                         QStringLiteral("AFDDMX   ~KDMX~IA"));
    f.emailer.mailShownBulletin(f.picker(QStringLiteral("me@x.org,")));
    QCOMPARE(readBytes(f.programDir + "output.txt"), QByteArray("* NWS  *\r\n"));
}

void TestEmailer::productTakenBeforeTheDialog()
{
    Fixture f;
    f.display.setDisplay(QStringLiteral("TORNADO WARNING"), QStringLiteral("TORGRRMI"));
    // An alarm shows another product while the recipients are picked.
    f.emailer.mailShownBulletin([&f] {
        f.display.setDisplay(QStringLiteral("ZONE FORECAST"), QStringLiteral("ZFPGRRMI"));
        return QStringLiteral("me@x.org,");
    });
    QCOMPARE(f.launcher.commandLines,
             QStringList({f.command("output.txt", "TORGRRMI", "me@x.org")}));
    QCOMPARE(readBytes(f.programDir + "output.txt"), QByteArray("TORNADO WARNING\r\n"));
}

void TestEmailer::failedSendIsReported_data()
{
    QTest::addColumn<int>("kind"); // ProcessOutcome::Kind
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("reason"); // empty: success, nothing reported

    const auto finished = static_cast<int>(ProcessOutcome::Kind::Finished);
    QTest::newRow("sent") << finished << 0 << "";
    QTest::newRow("not sent") << finished << 1 << "not sent (blat exit code 1, see blat-log.txt)";
    QTest::newRow("some recipients refused")
        << finished << 2 << "not accepted for every recipient (blat exit code 2, see blat-log.txt)";
    QTest::newRow("other exit code")
        << finished << 7 << "failed (blat exit code 7, see blat-log.txt)";
    QTest::newRow("mailer missing")
        << static_cast<int>(ProcessOutcome::Kind::NotFound) << -1 << "blat not found";
    QTest::newRow("mailer crashed")
        << static_cast<int>(ProcessOutcome::Kind::Crashed) << -1 << "blat crashed";
    QTest::newRow("mailer not startable") << static_cast<int>(ProcessOutcome::Kind::FailedToStart)
                                          << -1 << "blat could not be started";
}

void TestEmailer::failedSendIsReported()
{
    QFETCH(int, kind);
    QFETCH(int, exitCode);
    QFETCH(QString, reason);
    Fixture f;
    f.display.setDisplay(QStringLiteral("TEXT"), QStringLiteral("AFDGRRMI"));
    f.emailer.mailShownBulletin(f.picker(QStringLiteral("a@x.org,")));
    f.emailer.getalarm_alarmEMail(QStringLiteral("TEXT"), 0, QStringLiteral("TORGRR"));
    const QString logBefore = f.log();
    // Nothing is known until the mailer ends.
    QCOMPARE(f.status.text(), QStringLiteral("Emailing Displayed Bulletin"));
    const ProcessOutcome outcome{static_cast<ProcessOutcome::Kind>(kind), exitCode};
    QVERIFY(f.launcher.finish(0, outcome));
    QVERIFY(f.launcher.finish(1, outcome));
    if (reason.isEmpty()) {
        QCOMPARE(f.status.text(), QStringLiteral("Emailing Displayed Bulletin"));
        QCOMPARE(f.log(), logBefore);
        return;
    }
    QCOMPARE(f.status.text(), "E-mail FAILED: TORGRR to me@x.org - " + reason);
    QCOMPARE(f.log(), logBefore + "FAILED AFDGRRMI to a@x.org" + kAt + " - " + reason + "\r\n" +
                          "FAILED TORGRR to me@x.org" + kAt + " - " + reason + "\r\n");
}

void TestEmailer::unwritableBodies()
{
    Fixture f;
    QDir(f.programDir).removeRecursively(); // no program directory to write into
    f.display.setDisplay(QStringLiteral("TEXT"), QStringLiteral("AFDGRRMI"));
    f.emailer.mailShownBulletin(f.picker(QStringLiteral("a@x.org,")));
    QCOMPARE(f.prompter.messages.size(), 1);
    QVERIFY2(f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: mnuEmail\nError: 75\n")),
             qPrintable(f.prompter.messages[0].text));
    QCOMPARE(f.prompter.messages[0].icon, IPrompter::Icon::Exclamation);
    // An alarm mail reports on the status line and lets the alarm go on.
    f.emailer.getalarm_alarmEMail(QStringLiteral("TEXT"), 0, QStringLiteral("TORGRR"));
    QVERIFY2(
        f.status.text().startsWith(QStringLiteral("E-mail FAILED: ALARM TORGRR to me@x.org - ")),
        qPrintable(f.status.text()));
    QVERIFY(f.launcher.commandLines.isEmpty());
    QCOMPARE(f.prompter.messages.size(), 1);
}

void TestEmailer::twoAlarmMailsTwoBodyFiles()
{
    Fixture f;
    f.emailer.getalarm_alarmEMail(QStringLiteral("FIRST"), 0, QStringLiteral("TORGRR"));
    f.emailer.getalarm_alarmEMail(QStringLiteral("SECOND"), 0, QStringLiteral("TORGRR"));
    QCOMPARE(f.launcher.commandLines.size(), 2);
    const QString first = f.launcher.startedParts(0, f.programDir).at(1);
    const QString second = f.launcher.startedParts(1, f.programDir).at(1);
    QVERIFY(first != second);
    QCOMPARE(readBytes(first), QByteArray("FIRST\r\n"));
    QCOMPARE(readBytes(second), QByteArray("SECOND\r\n"));
}

QTEST_GUILESS_MAIN(TestEmailer)
#include "tst_emailer.moc"
