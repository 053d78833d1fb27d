#include "TestSupport.h"
#include "notify/MailSender.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProcessRunner.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>

class TestMailSender : public QObject
{
    Q_OBJECT
private slots:
    void commandLines();
    void optionsFromFile();
    void sendWritesBodyAndStartsHidden();
    void quoteInSubjectStaysOneArgument();
    void mailerGetsEachArgumentWhole_data();
    void mailerGetsEachArgumentWhole();
    void alarmBodyFileNamesAreFresh();
    void emptySubjectStaysAnArgument();
    void oldAlarmBodiesRemoved_data();
    void oldAlarmBodiesRemoved();
};

void TestMailSender::commandLines()
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
    QCOMPARE(mail.sendCommand("output5.txt", "S", "a@x.org"),
             QStringLiteral("/d/blat \"/d/output5.txt\" -s \"S\" -t a@x.org -debug -log blat.log"));
    mail.install("smtp.example.org", "me@example.org");
    QCOMPARE(launcher.commandLines.size(), 1);
    QCOMPARE(launcher.windows.first(), LaunchWindow::Hidden);
}

void TestMailSender::optionsFromFile()
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

void TestMailSender::sendWritesBodyAndStartsHidden()
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

void TestMailSender::quoteInSubjectStaysOneArgument()
{
    RecordingLauncher launcher;
    MailSender mail(QStringLiteral("/d/"), launcher);
    const QString subject = QStringLiteral("Caption \"x\" : TOR; rm -rf $HOME");
    const QStringList parts = ProcessLauncher(QStringLiteral("/d/"))
                                  .split(mail.sendCommand("output.txt", subject, "a@x.org"));
    QCOMPARE(parts, QStringList({"/d/blat", "/d/output.txt", "-s", subject, "-t", "a@x.org"}));
}

// Started for real: the recorded arguments are what the mailer would parse.
void TestMailSender::mailerGetsEachArgumentWhole_data()
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
        << "a@x.org -cc evil@y.org" << QStringList{"-s", "S", "-t", "a@x.org -cc evil@y.org", "-q"};
}

void TestMailSender::mailerGetsEachArgumentWhole()
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

void TestMailSender::alarmBodyFileNamesAreFresh()
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

void TestMailSender::emptySubjectStaysAnArgument()
{
    RecordingLauncher launcher;
    MailSender mail(QStringLiteral("/d/"), launcher);
    // An empty subject must not let "-s" take "-t" as its value.
    const QStringList parts =
        ProcessLauncher(QStringLiteral("/d/")).split(mail.sendCommand("output.txt", "", "a@x.org"));
    QCOMPARE(parts, QStringList({"/d/blat", "/d/output.txt", "-s", "", "-t", "a@x.org"}));
}

void TestMailSender::oldAlarmBodiesRemoved_data()
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

void TestMailSender::oldAlarmBodiesRemoved()
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
    QVERIFY(file.setFileTime(now.addSecs(-3600LL * ageHours), QFileDevice::FileModificationTime));
    file.close();
    QCOMPARE(mail.removeAlarmBodiesBefore(now.addDays(-1)), removed ? 1 : 0);
    QCOMPARE(QFile::exists(path), !removed);
}

QTEST_GUILESS_MAIN(TestMailSender)
#include "tst_mailsender.moc"
