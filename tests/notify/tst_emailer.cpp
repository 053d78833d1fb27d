// Bulletin and alarm mail: recipients and subject as built from the tables,
// what reaches the mailer's command line, the body file and "email-log.txt",
// and how a failed send is reported.
#include "TestSupport.h"
#include "core/MenuDefinitions.h"
#include "notify/EmailBook.h"
#include "notify/EmailRecipients.h"
#include "notify/Emailer.h"
#include "notify/MailSender.h"
#include "notify/MailSubject.h"
#include "notify/SendFailures.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProcessRunner.h"
#include "product/BulletinText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

Q_DECLARE_METATYPE(MailSubject::Path)

class TestEmailer : public QObject
{
    Q_OBJECT
private slots:
    void bulletinMail_data()
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
    void bulletinMail()
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
    void alarmMail_data()
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
        QTest::newRow("empty address: logged, not sent")
            << 3 << false << false << ""
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
    void alarmMail()
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
    void recipientsStayOneArgument_data()
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
    void recipientsStayOneArgument()
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
        QCOMPARE(parts, QStringList({f.programDir + "blat", f.programDir + "output.txt", "-s",
                                     subject, "-t", recipients}));
        // The alarm path builds its line the same way.
        f.book.setAddress(5, picked);
        f.emailer.getalarm_alarmEMail(QStringLiteral("TEXT"), 5, tag);
        const QStringList alarm = f.launcher.startedParts(1, f.programDir);
        QCOMPARE(alarm.mid(2), QStringList({"-s", subject, "-t", recipients}));
    }
    void compressedTornadoWarning()
    {
        Fixture f;
        f.tables.loadDictionary(
            QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/dictionary.vantorel.txt"));
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
    void productTakenBeforeTheDialog()
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
    void failedSendIsReported_data()
    {
        QTest::addColumn<int>("kind"); // ProcessOutcome::Kind
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("reason"); // empty: success, nothing reported

        const auto finished = static_cast<int>(ProcessOutcome::Kind::Finished);
        QTest::newRow("sent") << finished << 0 << "";
        QTest::newRow("not sent") << finished << 1
                                  << "not sent (blat exit code 1, see blat-log.txt)";
        QTest::newRow("some recipients refused")
            << finished << 2
            << "not accepted for every recipient (blat exit code 2, see blat-log.txt)";
        QTest::newRow("other exit code")
            << finished << 7 << "failed (blat exit code 7, see blat-log.txt)";
        QTest::newRow("mailer missing")
            << static_cast<int>(ProcessOutcome::Kind::NotFound) << -1 << "blat not found";
        QTest::newRow("mailer crashed")
            << static_cast<int>(ProcessOutcome::Kind::Crashed) << -1 << "blat crashed";
        QTest::newRow("mailer not startable")
            << static_cast<int>(ProcessOutcome::Kind::FailedToStart) << -1
            << "blat could not be started";
    }
    void failedSendIsReported()
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
    void unwritableBodies()
    {
        Fixture f;
        QDir(f.programDir).removeRecursively(); // no program directory to write into
        f.display.setDisplay(QStringLiteral("TEXT"), QStringLiteral("AFDGRRMI"));
        f.emailer.mailShownBulletin(f.picker(QStringLiteral("a@x.org,")));
        QCOMPARE(f.prompter.messages.size(), 1);
        QVERIFY2(
            f.prompter.messages[0].text.startsWith(QStringLiteral("MAIN: mnuEmail\nError: 75\n")),
            qPrintable(f.prompter.messages[0].text));
        QCOMPARE(f.prompter.messages[0].icon, IPrompter::Icon::Exclamation);
        // An alarm mail reports on the status line and lets the alarm go on.
        f.emailer.getalarm_alarmEMail(QStringLiteral("TEXT"), 0, QStringLiteral("TORGRR"));
        QVERIFY2(f.status.text().startsWith(
                     QStringLiteral("E-mail FAILED: ALARM TORGRR to me@x.org - ")),
                 qPrintable(f.status.text()));
        QVERIFY(f.launcher.commandLines.isEmpty());
        QCOMPARE(f.prompter.messages.size(), 1);
    }
    void twoAlarmMailsTwoBodyFiles()
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

    void lines()
    {
        TestHome home;
        QCOMPARE(EmailRecipients::lines(book(home)),
                 QStringList({"Personal    * me@x.org", "Spotters    * sp1@x.org,sp2@x.org",
                              "A very long group name * long@x.org", "Empty       * "}));
        QCOMPARE(EmailRecipients::lines(EmailBook()), QStringList({"Personal    * "}));
    }
    void recipients_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("recipients");
        QTest::newRow("nothing") << "" << QList<int>() << "";
        QTest::newRow("personal and a group")
            << "" << QList<int>{0, 1} << "me@x.org,sp1@x.org,sp2@x.org,";
        QTest::newRow("typed first") << "extra@x.org" << QList<int>{2} << "extra@x.org,long@x.org,";
        QTest::newRow("typed only") << "a@x.org,b@x.org" << QList<int>() << "a@x.org,b@x.org,";
        QTest::newRow("selection in list order")
            << "" << QList<int>{2, 0} << "me@x.org,long@x.org,";
        QTest::newRow("empty entry adds a lone comma") << "" << QList<int>{3} << ",";
        QTest::newRow("lines past the book are ignored")
            << "" << QList<int>{4, -1, 0} << "me@x.org,";
    }
    void recipients()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, selected);
        QFETCH(QString, recipients);
        TestHome home;
        QCOMPARE(EmailRecipients::build(typed, selected, book(home)), recipients);
    }

    void subject_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<MailSubject::Path>("path");
        QTest::addColumn<bool>("expand");
        QTest::addColumn<QString>("subject");

        const auto bulletin = MailSubject::Path::Bulletin;
        const auto alarm = MailSubject::Path::Alarm;
        const QString at = QStringLiteral("@ 12/6/2026 6:27:51 PM");
        QTest::newRow("not expanded") << "TORGRRMI" << bulletin << false << "TORGRRMI";
        QTest::newRow("bulletin: caption and the 5 characters after the category")
            << "TORGRR   ~KGRR~MI" << bulletin << true << "Tornado Warning : GRR  " + at;
        QTest::newRow("alarm: everything after the category")
            << "TORGRR" << alarm << true << "Tornado Warning : GRR" + at;
        QTest::newRow("category in the second code position")
            << "SVRDTXMI" << bulletin << true << "Tornado Warning : DTXMI" + at;
        QTest::newRow("third code position")
            << "FFWIWX" << alarm << true << "Tornado Warning : IWX" + at;
        QTest::newRow("the last matching item wins")
            << "AFDGRRMI" << bulletin << true << "Discussion (2) : GRRMI" + at;
        QTest::newRow("code found out of step does not match")
            << "ORSGRRMI" << bulletin << true << "ORSGRRMI" + at;
        QTest::newRow("no item: the name, then @ without a blank")
            << "ZFPGRRMI" << bulletin << true << "ZFPGRRMI" + at;
        QTest::newRow("feedback") << "FEEDBACK1" << bulletin << false << "FEEDBACK";
        QTest::newRow("FED") << "FEDGRRMI" << alarm << false << "FEEDBACK";
        QTest::newRow("test") << "TESTPROD" << bulletin << false << "TEST";
        QTest::newRow("fix-up after expansion") << "TESGRRMI" << bulletin << true << "TEST";
        QTest::newRow("fix-up is case-sensitive") << "tes" << bulletin << false << "tes";
        QTest::newRow("caption starting with FEE is fixed up too")
            << "PNSGRRMI" << bulletin << true << "FEEDBACK";
        QTest::newRow("too short to have a category") << "TO" << alarm << true << "TO" + at;
    }
    void subject()
    {
        QFETCH(QString, name);
        QFETCH(MailSubject::Path, path);
        QFETCH(bool, expand);
        QFETCH(QString, subject);
        const QList<MenuItem> items = {
            {QStringLiteral("TORSVRFFW"), QStringLiteral("Tornado Warning"), 5},
            {QStringLiteral("AFD"), QStringLiteral("Discussion (1)"), 3},
            {QStringLiteral("XORS"), QStringLiteral("Misaligned"), 3},
            {QStringLiteral("PNS"), QStringLiteral("FEE Public Notice"), 3},
            {QStringLiteral("ZZZAFD"), QStringLiteral("Discussion (2)"), 3},
        };
        FakeClock clock;
        QCOMPARE(MailSubject::build(name, path, expand, items, clock.now()), subject);
    }

    void commandLines()
    {
        RecordingLauncher launcher;
        MailSender mail(QStringLiteral("/d/"), launcher);
        QCOMPARE(mail.installCommand("smtp.example.org", "me@example.org"),
                 QStringLiteral("/d/blat -install \"smtp.example.org\" \"me@example.org\" 3 25"));
        // Without extra options the line ends in a blank after the recipients.
        QCOMPARE(mail.sendCommand("output.txt", "TORGRRMI", "a@x.org,b@y.org"),
                 QStringLiteral("/d/blat \"/d/output.txt\" -s \"TORGRRMI\" -t a@x.org,b@y.org "));
        QCOMPARE(mail.metarSendCommand("a@x.org"),
                 QStringLiteral("/d/blat \"/d/output.txt\" -s METAR -t a@x.org "));
        mail.setOptions(QStringLiteral("-debug -log blat.log"));
        QCOMPARE(
            mail.sendCommand("output5.txt", "S", "a@x.org"),
            QStringLiteral("/d/blat \"/d/output5.txt\" -s \"S\" -t a@x.org -debug -log blat.log"));
        mail.install("smtp.example.org", "me@example.org");
        QCOMPARE(launcher.commandLines.size(), 1);
        QCOMPARE(launcher.windows.first(), LaunchWindow::Hidden);
    }
    void optionsFromFile()
    {
        TestHome home;
        RecordingLauncher launcher;
        MailSender mail(home.path() + "/", launcher);
        mail.loadOptions(home.file("blat-output.txt"));
        QCOMPARE(mail.options(), QString());
        const QString path = home.write("blat-output.txt", "-priority 1\r\nignored\r\n");
        mail.loadOptions(path);
        QCOMPARE(mail.options(), QStringLiteral("-priority 1"));
    }
    void sendWritesBodyAndStartsHidden()
    {
        TestHome home;
        RecordingLauncher launcher;
        const QString dir = home.path() + "/";
        MailSender mail(dir, launcher);
        home.write("output.txt", "an older and much longer body that must not survive");
        mail.send("output.txt", "line one\r\nline two", "Subject", "me@example.org");
        QCOMPARE(readBytes(dir + "output.txt"), QByteArray("line one\r\nline two\r\n"));
        QCOMPARE(launcher.commandLines,
                 QStringList({mail.sendCommand("output.txt", "Subject", "me@example.org")}));
        QCOMPARE(launcher.windows.first(), LaunchWindow::Hidden);
        // A second mail with the same body file waits until the first mailer
        // has ended: that mailer may not have read its body yet.
        mail.sendMetar("KORD 061851Z", "me@example.org");
        mail.send("output.txt", "third", "Third", "me@example.org");
        QCOMPARE(mail.waiting(), 2);
        QCOMPARE(launcher.commandLines.size(), 1);
        QCOMPARE(readBytes(dir + "output.txt"), QByteArray("line one\r\nline two\r\n"));
        // An alarm body file of its own goes at once.
        mail.send("output77.txt", "alarm", "TORGRR", "me@example.org");
        QCOMPARE(launcher.commandLines.size(), 2);
        QVERIFY(launcher.finish(0, {ProcessOutcome::Kind::Finished, 1})); // failed, still done
        QCOMPARE(readBytes(dir + "output.txt"), QByteArray("KORD 061851Z\r\n"));
        QCOMPARE(launcher.commandLines.last(), mail.metarSendCommand("me@example.org"));
        QCOMPARE(mail.waiting(), 1);
        QVERIFY(launcher.finish(2, {}));
        QCOMPARE(readBytes(dir + "output.txt"), QByteArray("third\r\n"));
        QCOMPARE(launcher.commandLines.size(), 4);
        QCOMPARE(mail.waiting(), 0);
    }
    void quoteInSubjectStaysOneArgument()
    {
        RecordingLauncher launcher;
        MailSender mail(QStringLiteral("/d/"), launcher);
        const QString subject = QStringLiteral("Caption \"x\" : TOR; rm -rf $HOME");
        const QStringList parts = ProcessLauncher(QStringLiteral("/d/"))
                                      .split(mail.sendCommand("output.txt", subject, "a@x.org"));
        QCOMPARE(parts, QStringList({"/d/blat", "/d/output.txt", "-s", subject, "-t", "a@x.org"}));
    }
    // Started for real: the recorded arguments are what the mailer would parse.
    void mailerGetsEachArgumentWhole_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("recipients");
        QTest::addColumn<QStringList>("after"); // the arguments after the body file
        QTest::newRow("plain") << "TORGRRMI"
                               << "a@x.org,b@y.org"
                               << QStringList{"-s", "TORGRRMI", "-t", "a@x.org,b@y.org", "-q"};
        QTest::newRow("empty subject") << ""
                                       << "a@x.org" << QStringList{"-s", "", "-t", "a@x.org", "-q"};
        QTest::newRow("no recipient") << "S"
                                      << "" << QStringList{"-s", "S", "-t", "", "-q"};
        QTest::newRow("leading dash") << "S"
                                      << "-debug" << QStringList{"-s", "S", "-t", "-debug", "-q"};
        QTest::newRow("blank in the list")
            << "S"
            << "a@x.org -cc evil@y.org"
            << QStringList{"-s", "S", "-t", "a@x.org -cc evil@y.org", "-q"};
    }
    void mailerGetsEachArgumentWhole()
    {
        QFETCH(QString, subject);
        QFETCH(QString, recipients);
        QFETCH(QStringList, after);
        TestHome home;
        const QString dir = home.path() + "/prog dir/";
        ArgumentRecorder blat(dir + "blat");
        ProcessRunner runner(dir);
        MailSender mail(dir, runner);
        mail.setOptions(QStringLiteral("-q"));
        mail.send("output.txt", "body", subject, recipients);
        const std::optional<QStringList> args = blat.waitForRun();
        QVERIFY(args);
        QCOMPARE(*args, QStringList{dir + "output.txt"} + after);
    }
    void alarmBodyFileNamesAreFresh()
    {
        TestHome home;
        RecordingLauncher launcher;
        MailSender mail(home.path() + "/", launcher);
        const QRegularExpression form(QStringLiteral("^output\\d+\\.txt$"));
        QSet<QString> names;
        for (int i = 0; i < 200; ++i) {
            const QString name = mail.alarmBodyFileName();
            QVERIFY2(form.match(name).hasMatch(), qPrintable(name));
            QVERIFY(!QFileInfo::exists(home.path() + "/" + name));
            names.insert(name);
        }
        QCOMPARE(names.size(), 200);
    }
    void emptySubjectStaysAnArgument()
    {
        RecordingLauncher launcher;
        MailSender mail(QStringLiteral("/d/"), launcher);
        // An empty subject must not let "-s" take "-t" as its value.
        const QStringList parts = ProcessLauncher(QStringLiteral("/d/"))
                                      .split(mail.sendCommand("output.txt", "", "a@x.org"));
        QCOMPARE(parts, QStringList({"/d/blat", "/d/output.txt", "-s", "", "-t", "a@x.org"}));
    }
    void oldAlarmBodiesRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("ageHours");
        QTest::addColumn<bool>("removed");
        QTest::newRow("alarm body of two days ago") << "output1234.txt" << 48 << true;
        QTest::newRow("alarm body of just over a day") << "output7.txt" << 25 << true;
        QTest::newRow("alarm body of today") << "output99.txt" << 2 << false;
        QTest::newRow("bulletin body, old") << "output.txt" << 48 << false;
        QTest::newRow("other name, old") << "outputs.txt" << 48 << false;
        QTest::newRow("backup of a body, old") << "output12.txt.bak" << 48 << false;
        QTest::newRow("digits and letters, old") << "output12a.txt" << 48 << false;
    }
    void oldAlarmBodiesRemoved()
    {
        QFETCH(QString, name);
        QFETCH(int, ageHours);
        QFETCH(bool, removed);
        TestHome home;
        RecordingLauncher launcher;
        MailSender mail(home.path() + "/", launcher);
        const QString path = home.write(name, "body\r\n");
        const QDateTime now = QDateTime::currentDateTime();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(now.addSecs(-3600LL * ageHours), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(mail.removeAlarmBodiesBefore(now.addDays(-1)), removed ? 1 : 0);
        QCOMPARE(QFile::exists(path), !removed);
    }
};

QTEST_GUILESS_MAIN(TestEmailer)
#include "tst_emailer.moc"
