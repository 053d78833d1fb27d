// The mailer's parts without a server: command lines, addresses, message
// encoding, the SMTP dialogue reading and the profile.
#include "TestSupport.h"
#include "blat/BlatArguments.h"
#include "blat/BlatProfile.h"
#include "blat/MailAddress.h"
#include "blat/MailMessage.h"
#include "blat/ProfileLocation.h"
#include "blat/SmtpClient.h"

#include <QTest>
#include <QTimeZone>

using Mode = BlatArguments::Mode;
Q_DECLARE_METATYPE(BlatArguments::Mode)

// The subject back from a Subject header value: unfolded and, when encoded,
// the encoded words joined (blanks between them are not part of the text).
static QString readSubject(const QByteArray& value)
{
    QByteArray unfolded = value;
    unfolded.replace("\r\n", "");
    if (!unfolded.startsWith("=?"))
        return QString::fromLatin1(unfolded);
    QByteArray bytes;
    for (const QByteArray& word : unfolded.split(' ')) {
        if (!word.startsWith("=?utf-8?B?") || !word.endsWith("?="))
            return QStringLiteral("not an encoded word: ") + QString::fromLatin1(word);
        bytes += QByteArray::fromBase64(word.mid(10, word.size() - 12));
    }
    return QString::fromUtf8(bytes);
}

class TestBlatMessage : public QObject
{
    Q_OBJECT
private slots:
    void arguments_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("bcc");

        const QString body = QStringLiteral("/d/output.txt");
        QTest::newRow("send") << QStringList{"blat", body, "-s", "TOR", "-t", "a@x.org,b@y.org"}
                              << Mode::Send << "a@x.org,b@y.org"
                              << "TOR"
                              << "";
        QTest::newRow("empty subject keeps the next option")
            << QStringList{"blat", body, "-s", "", "-t", "a@x.org"} << Mode::Send << "a@x.org"
            << ""
            << "";
        QTest::newRow("dash recipient is a value")
            << QStringList{"blat", body, "-s", "S", "-t", "-bcc"} << Mode::Send << "-bcc"
            << "S"
            << "";
        QTest::newRow("dash subject is a value")
            << QStringList{"blat", body, "-s", "-t", "-t", "a@x.org"} << Mode::Send << "a@x.org"
            << "-t"
            << "";
        QTest::newRow("options after the recipients")
            << QStringList{"blat",    body,   "-s",      "S",     "-t",
                           "a@x.org", "-bcc", "d@w.org", "-port", "2525"}
            << Mode::Send << "a@x.org"
            << "S"
            << "d@w.org";
        QTest::newRow("two dashes work too")
            << QStringList{"blat", body, "--s", "S", "--to", "a@x.org"} << Mode::Send << "a@x.org"
            << "S"
            << "";
        QTest::newRow("install") << QStringList{"blat",     "-install", "smtp.x.org",
                                                "me@x.org", "3",        "25"}
                                 << Mode::Install << ""
                                 << ""
                                 << "";
        QTest::newRow("install after a body file")
            << QStringList{"blat", body, "-t", "a@x.org", "-install", "s", "me@x.org"}
            << Mode::Invalid << ""
            << ""
            << "";
        QTest::newRow("install mixed with a send")
            << QStringList{"blat", "-install", "s", "me@x.org", "-t", "a@x.org"} << Mode::Invalid
            << ""
            << ""
            << "";
        QTest::newRow("install with a bad port")
            << QStringList{"blat", "-install", "s", "me@x.org", "3", "x"} << Mode::Invalid << ""
            << ""
            << "";
        QTest::newRow("split recipient list")
            << QStringList{"blat", body, "-s", "S", "-t", "a@x.org", "evil@x.org"} << Mode::Invalid
            << ""
            << ""
            << "";
        QTest::newRow("standard input is never read")
            << QStringList{"blat", "-", "-s", "S", "-t", "a@x.org"} << Mode::Invalid << ""
            << ""
            << "";
        QTest::newRow("unknown option")
            << QStringList{"blat", body, "-t", "a@x.org", "-priority", "1"} << Mode::Invalid << ""
            << ""
            << "";
        QTest::newRow("port is not a number")
            << QStringList{"blat", body, "-t", "a@x.org", "-port", "smtp"} << Mode::Invalid << ""
            << ""
            << "";
        QTest::newRow("no body file") << QStringList{"blat", "-t", "a@x.org"} << Mode::Invalid << ""
                                      << ""
                                      << "";
        QTest::newRow("help") << QStringList{"blat", "--help"} << Mode::Help << ""
                              << ""
                              << "";
        QTest::newRow("version") << QStringList{"blat", "--version", body} << Mode::Version << ""
                                 << ""
                                 << "";
    }
    void arguments()
    {
        QFETCH(QStringList, args);
        QFETCH(Mode, mode);
        QFETCH(QString, to);
        QFETCH(QString, subject);
        QFETCH(QString, bcc);
        const BlatArguments parsed = BlatArguments::parse(args);
        QCOMPARE(parsed.mode, mode);
        QCOMPARE(parsed.error.isEmpty(), mode != Mode::Invalid);
        if (mode != Mode::Send)
            return;
        QCOMPARE(parsed.bodyFile, args.at(1));
        QCOMPARE(parsed.to, to);
        QCOMPARE(parsed.subject, subject);
        QCOMPARE(parsed.bcc, bcc);
    }
    void addresses_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("valid");
        QTest::addColumn<QStringList>("invalid");

        QTest::newRow("trailing comma")
            << "a@x.org,b@y.org," << QStringList{"a@x.org", "b@y.org"} << QStringList();
        QTest::newRow("semicolons, blanks, brackets, duplicates")
            << " a@x.org ; <b@y.org>,A@X.org" << QStringList{"a@x.org", "b@y.org"} << QStringList();
        QTest::newRow("leading dash is a local part")
            << "-t@x.org" << QStringList{"-t@x.org"} << QStringList();
        QTest::newRow("blank inside")
            << "a@x.org -bcc evil@x.org" << QStringList() << QStringList{"a@x.org -bcc evil@x.org"};
        QTest::newRow("no domain, no local part, two at signs")
            << "root,@x.org,a@,a@b@c.org" << QStringList()
            << QStringList{"root", "@x.org", "a@", "a@b@c.org"};
        QTest::newRow("envelope breakers")
            << "a>b@x.org,a@x.org\r\nRCPT TO:<e@x.org>,\"q\"@x.org" << QStringList()
            << QStringList{"a>b@x.org", "a@x.org\r\nRCPT TO:<e@x.org>", "\"q\"@x.org"};
        QTest::newRow("bad domain") << "a@-x.org,a@x..org,a@x_y.org" << QStringList()
                                    << QStringList{"a@-x.org", "a@x..org", "a@x_y.org"};
    }
    void addresses()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, valid);
        QFETCH(QStringList, invalid);
        const MailAddress::List parsed = MailAddress::parseList(list);
        QCOMPARE(parsed.valid, valid);
        QCOMPARE(parsed.invalid, invalid);
    }
    void subject_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QByteArray>("header");

        QTest::newRow("plain") << "TORGRRMI" << QByteArray("TORGRRMI");
        QTest::newRow("line ends cannot add headers")
            << "TOR\r\nBcc: evil@x.org" << QByteArray("TOR  Bcc: evil@x.org");
        QTest::newRow("long subject folds at blanks")
            << "Tornado Warning : GRRMI @ 12/6/2026 6:27:51 PM for Kent Ottawa Allegan and Barry "
               "counties until 7 PM"
            << QByteArray("Tornado Warning : GRRMI @ 12/6/2026 6:27:51 PM for Kent Ottawa\r\n "
                          "Allegan and Barry counties until 7 PM");
        QTest::newRow("non-ASCII as encoded words")
            << "Caf\u00e9"
            << QByteArray("=?utf-8?B?") + QByteArray("Caf\xc3\xa9").toBase64() + "?=";
        QTest::newRow("text that looks encoded")
            << "=?x?" << QByteArray("=?utf-8?B?") + QByteArray("=?x?").toBase64() + "?=";
    }
    void subject()
    {
        QFETCH(QString, subject);
        QFETCH(QByteArray, header);
        QCOMPARE(MailMessage::subjectText(subject), header);
    }
    void subjectFolding_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("encoded");

        const QString counties =
            QStringLiteral("for Kent Ottawa Allegan Barry Ionia Montcalm Muskegon "
                           "and Newaygo counties until 7 PM");
        QTest::newRow("plain") << "Tornado Warning : GRRMI @ 12/6/2026 6:27:51 PM " + counties
                               << false;
        QTest::newRow("plain with a long run of blanks")
            << "Tornado Warning" + QString(70, ' ') + "GRRMI @ 12/6/2026 " + counties << false;
        QTest::newRow("blanks longer than a line") << "TOR" + QString(200, ' ') + "GRR" << true;
        QTest::newRow("word longer than a line") << "TOR " + QString(120, 'x') + " GRR" << true;
        QTest::newRow("encoded") << "Tornado Warning \u2013 Grand Rapids MI @ 12/6/2026 " + counties
                                 << true;
        QTest::newRow("encoded, first word fills the first line")
            << QString(37, 'a') + QStringLiteral("\u00e9 ") + counties << true;
        QTest::newRow("encoded with a long run of blanks")
            << "\u00e9t\u00e9" + QString(70, ' ') + counties << true;
    }
    void subjectFolding()
    {
        QFETCH(QString, subject);
        QFETCH(bool, encoded);
        const QByteArray value = MailMessage::subjectText(subject);
        const QList<QByteArray> lines = ("Subject: " + value).split('\n');
        for (const QByteArray& line : lines)
            QVERIFY2(!line.trimmed().isEmpty(), "a folded line of blanks only");
        for (const QByteArray& line : lines) {
            // RFC 2047: 76 characters on a line with encoded words; RFC 5322: 78.
            QVERIFY2(line.chopped(line.endsWith('\r') ? 1 : 0).size() <= (encoded ? 76 : 78),
                     line.constData());
        }
        QCOMPARE(value.startsWith("=?"), encoded);
        QCOMPARE(readSubject(value), subject);
        // Folded between words: a blank on one side of every fold.
        if (encoded && !subject.contains(QString(50, 'x'))) {
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                const QString before =
                    readSubject(lines.at(i).mid(lines.at(i).lastIndexOf(' ') + 1).trimmed());
                const QString after = readSubject(lines.at(i + 1).trimmed());
                QVERIFY2(before.endsWith(' ') || after.startsWith(' '),
                         qPrintable(before + '|' + after));
            }
        }
    }
    void body_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("charset");
        QTest::addColumn<QByteArray>("wire");

        QTest::newRow("ASCII, mixed line ends")
            << QByteArray("a\r\nb\nc\rd") << QByteArray("us-ascii")
            << QByteArray("a\r\nb\r\nc\r\nd\r\n");
        QTest::newRow("empty body") << QByteArray() << QByteArray("us-ascii") << QByteArray("\r\n");
        QTest::newRow("Latin-1 degree sign, trailing blank and equals")
            << QByteArray("45\xb0 = warm \r\n") << QByteArray("iso-8859-1")
            << QByteArray("45=B0 =3D warm=20\r\n");
        QTest::newRow("UTF-8 text")
            << QByteArray("caf\xc3\xa9") << QByteArray("utf-8") << QByteArray("caf=C3=A9\r\n");
        QTest::newRow("line over 998 characters")
            << QByteArray(1000, 'x') << QByteArray("us-ascii")
            << QByteArray(75, 'x') + "=\r\n" + QByteArray(75, 'x') + "=\r\n";
    }
    void body()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, charset);
        QFETCH(QByteArray, wire);
        const QByteArray text = MailMessage::crlfLines(body);
        QCOMPARE(MailMessage::charsetOf(text), charset);
        const QByteArray sent =
            MailMessage::fitsSevenBit(text) ? text : MailMessage::quotedPrintable(text);
        QVERIFY2(sent.startsWith(wire), sent.left(200).constData());
        for (const QByteArray& line : sent.split('\n'))
            QVERIFY(line.size() <= (MailMessage::fitsSevenBit(text) ? 1000 : 78));
    }
    void headers()
    {
        MailMessage message;
        message.from = QStringLiteral("wx@example.org");
        message.to = QStringList{"a@x.org", "b@y.org"};
        message.cc = QStringList{"c@z.org"};
        message.subject = QStringLiteral("TORGRRMI");
        message.body = "text";
        message.date = QDateTime(QDate(2026, 12, 6), QTime(18, 27, 51), QTimeZone(-6 * 3600));
        message.messageId = QStringLiteral("1.2@example.org");
        QCOMPARE(message.toBytes(), QByteArray("Date: Sun, 06 Dec 2026 18:27:51 -0600\r\n"
                                               "From: wx@example.org\r\n"
                                               "To: a@x.org,\r\n b@y.org\r\n"
                                               "Cc: c@z.org\r\n"
                                               "Subject: TORGRRMI\r\n"
                                               "Message-ID: <1.2@example.org>\r\n"
                                               "MIME-Version: 1.0\r\n"
                                               "Content-Type: text/plain; charset=us-ascii\r\n"
                                               "Content-Transfer-Encoding: 7bit\r\n"
                                               "\r\n"
                                               "text\r\n"));
        QVERIFY(MailMessage::newMessageId("x.org") != MailMessage::newMessageId("x.org"));
    }
    void dialogue_data()
    {
        QTest::addColumn<QString>("transcript");
        QTest::addColumn<QStringList>("rejected");

        QTest::newRow("all accepted")
            << "> RCPT TO:<a@x.org>\n< 250 OK\n> RCPT TO:<b@x.org>\n< 250 OK\n"
            << QStringList();
        QTest::newRow("one refused") << "> RCPT TO:<a@x.org>\n< 550 5.1.1 No such user\n"
                                        "> RCPT TO:<b@x.org>\n< 250 OK\n> DATA\n< 354 go\n"
                                     << QStringList{"a@x.org"};
        QTest::newRow("multi-line and temporary refusal")
            << "> RCPT TO:<a@x.org>\n< 451-busy\n< 451 try later\n> rcpt to:<b@x.org>\n< 251 ok\n"
            << QStringList{"a@x.org"};
        QTest::newRow("replies to other commands") << "> MAIL FROM:<me@x.org>\n< 550 no\n"
                                                   << QStringList();
    }
    void dialogue()
    {
        QFETCH(QString, transcript);
        QFETCH(QStringList, rejected);
        QCOMPARE(SmtpClient::rejectedRecipients(transcript), rejected);
    }
    void url_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("url");

        QTest::newRow("host") << "mail.x.org"
                              << "smtp://mail.x.org:25/me";
        QTest::newRow("port in the server text wins") << "mail.x.org:587"
                                                      << "smtp://mail.x.org:587/me";
        QTest::newRow("TLS from the start") << "smtps://mail.x.org"
                                            << "smtps://mail.x.org:25/me";
        QTest::newRow("IPv6 with port") << "[::1]:2525"
                                        << "smtp://[::1]:2525/me";
        QTest::newRow("bare IPv6") << "::1"
                                   << "smtp://[::1]:25/me";
    }
    void url()
    {
        QFETCH(QString, server);
        QFETCH(QString, url);
        QCOMPARE(SmtpClient::url(server, 25, QStringLiteral("me")), url);
    }
    void profileText()
    {
        BlatProfile profile;
        profile.server = QStringLiteral("smtp.x.org");
        profile.sender = QStringLiteral("me@x.org");
        profile.tries = 5;
        profile.port = 587;
        profile.user = QStringLiteral("me");
        profile.password = QStringLiteral("p=w\r\nserver=evil");
        BlatProfile back;
        back.fromText(profile.toText());
        QCOMPARE(back.server, profile.server);
        QCOMPARE(back.password, QStringLiteral("p=wserver=evil"));
        QCOMPARE(back.tries, 5);
        QCOMPARE(back.port, 587);
        back.fromText("garbage\nport=x\ntries=-2\n");
        QCOMPARE(back.port, BlatProfile::DefaultPort);
        QCOMPARE(back.tries, BlatProfile::DefaultTries);
        QVERIFY(back.server.isEmpty());
        // A carriage return inside a stored value (found by fuzzing): the value
        // read is the one a rewrite keeps.
        back.fromText(QByteArray("server=s\0\rp.exg\nsender=me@x.org\n", 32));
        QCOMPARE(back.server, QString::fromUtf8("s\0p.exg", 7));
        BlatProfile again;
        again.fromText(back.toText());
        QCOMPARE(again.server, back.server);
    }
    void profilePrivate_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new profile") << false;
        QTest::newRow("profile readable by all before") << true;
    }
    void profilePrivate()
    {
        QFETCH(bool, existing);
        TestHome home;
        const QString path = home.file(BlatProfile::fileName());
        if (existing) {
            home.write(BlatProfile::fileName(), "server=x\n");
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ReadOther);
        }
        BlatProfile profile;
        profile.password = QStringLiteral("s3cret");
        QString error;
        QVERIFY2(profile.save(path, &error), qPrintable(error));
        QCOMPARE(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadUser | QFileDevice::WriteUser);
        QVERIFY(readBytes(path).contains("password=s3cret"));
    }
    void location()
    {
        TestHome home;
        const QString own = home.file(QStringLiteral("bin"));
        QDir().mkpath(own);
        QCOMPARE(ProfileLocation::resolve(QString(), own, BlatProfile::fileName()),
                 home.path() + QStringLiteral("/.local/share/vantorel/"));
        home.write(QStringLiteral("bin/") + BlatProfile::fileName(), "server=x\n");
        QCOMPARE(ProfileLocation::resolve(QString(), own, BlatProfile::fileName()), own + "/");
        QCOMPARE(ProfileLocation::resolve(home.file("cfg"), own, BlatProfile::fileName()),
                 home.file("cfg") + "/");
    }
};

QTEST_GUILESS_MAIN(TestBlatMessage)
#include "tst_blatmessage.moc"
