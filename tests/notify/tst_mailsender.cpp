#include "TestSupport.h"
#include "notify/MailSender.h"

#include <QFileInfo>
#include <QProcess>
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
    mail.sendMetar("KORD 061851Z", "me@example.org");
    QCOMPARE(readBytes(dir + "output.txt"), QByteArray("KORD 061851Z\r\n"));
    QCOMPARE(launcher.commandLines.last(), mail.metarSendCommand("me@example.org"));
}

void TestMailSender::quoteInSubjectStaysOneArgument()
{
    RecordingLauncher launcher;
    MailSender mail(QStringLiteral("/d/"), launcher);
    const QString subject = QStringLiteral("Caption \"x\" : TOR; rm -rf $HOME");
    const QStringList parts =
        QProcess::splitCommand(mail.sendCommand("output.txt", subject, "a@x.org"));
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
    ProcessLauncher launcher(dir);
    MailSender mail(dir, launcher);
    mail.setOptions(QStringLiteral("-q"));
    QVERIFY(mail.send("output.txt", "body", subject, recipients) != 0);
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

QTEST_GUILESS_MAIN(TestMailSender)
#include "tst_mailsender.moc"
