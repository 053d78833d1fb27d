#pragma once

#include <QDateTime>
#include <QList>
#include <QSet>
#include <QString>
#include <memory>

class IProcessRunner;
class SendFailures;
struct ProcessOutcome;

// Sends mail through the command-line mailer "blat" in the program directory:
// the body goes into a text file there, the mailer is started hidden and the
// program goes on at once. How the mailer ended is learnt later: a failure is
// reported (status line and "email-log.txt") when a report sink is set, a
// mail the mailer sent but the server never confirmed as "UNCONFIRMED".
class MailSender
{
public:
    MailSender(QString programDir, IProcessRunner& runner);

    // Where failed sends are reported; none = only a warning on the console.
    void setFailures(SendFailures* failures) { m_failures = failures; }

    // The extra mailer options: first line of "blat-output.txt", empty when missing.
    void loadOptions(const QString& path);
    QString options() const { return m_options; }
    void setOptions(const QString& options) { m_options = options; }
    QString programDir() const { return m_programDir; }
    QString logPath() const { return m_programDir + QStringLiteral("email-log.txt"); }

    QString installCommand(const QString& server, const QString& sender) const;
    QString sendCommand(const QString& bodyFile, const QString& subject,
                        const QString& recipients) const;
    QString metarSendCommand(const QString& recipients) const;
    // The recipient list as it goes on a command line: unchanged, or quoted
    // as one argument when it is empty, starts with "-", or holds a blank,
    // quote or control character that would split it and let a part of it be
    // read as a mailer option.
    static QString recipientArgument(const QString& recipients);

    // Registers server and sender with the mailer.
    void install(const QString& server, const QString& sender);
    // Writes body + CR LF to the program directory's bodyFile, whole, and
    // starts the send command. While a mailer started earlier may still read
    // the same body file, the mail waits (in order) until that mailer has
    // ended, so that a mail never goes out with the body of another. Throws
    // RuntimeError when a body written at once cannot be written; one written
    // later is reported as a failed send.
    void send(const QString& bodyFile, const QString& body, const QString& subject,
              const QString& recipients);
    // The METAR alarm form: body in "output.txt", subject "METAR".
    void sendMetar(const QString& body, const QString& recipients);
    // Mails waiting for their body file.
    int waiting() const { return static_cast<int>(m_waiting.size()); }

    // At closing: every mail still waiting gets a body file of its own and a
    // line in "mail-queue.txt", so that the next start sends it, and a
    // "QUEUED" line in the send log. Returns the body files to leave in
    // place: those and the ones a running mailer may still read.
    QStringList holdForNextStart(const QDateTime& now);
    // At start: sends the mails held at the last closing, in order, each
    // with an "Emailing" line in the send log; returns how many.
    int resendHeld(const QDateTime& now);
    QString queuePath() const { return m_programDir + QStringLiteral("mail-queue.txt"); }

    // A body file name for alarm mail, "output" + number + ".txt", that does not
    // exist yet and has not been handed out before in this run.
    QString alarmBodyFileName();
    // True for the name of an alarm body file ("output" + digits + ".txt").
    static bool isAlarmBodyFileName(const QString& name);
    // Removes the alarm body files of the program directory last written
    // before cutoff, except those of held mail; returns how many were removed.
    int removeAlarmBodiesBefore(const QDateTime& cutoff) const;

private:
    struct Mail
    {
        QString bodyFile;
        QString body;
        QString commandLine;
        QString subject;
        QString recipients;
    };

    QString mailer() const;
    static QString quoted(const QString& text);
    void writeBody(const QString& bodyFile, const QString& body) const;
    void appendLog(const QString& line) const;
    // The held mails of "mail-queue.txt": body file, subject, recipients.
    QList<Mail> held() const;
    void submit(const Mail& mail);
    void launch(const Mail& mail);
    void startWaiting(const QString& bodyFile);
    void run(const QString& commandLine, const QString& subject, const QString& recipients,
             const QString& bodyFile = QString());
    // why: the reason when it is not the mailer's outcome.
    void reportFailure(const ProcessOutcome& outcome, const QString& subject,
                       const QString& recipients, const QString& why = QString()) const;

    QString m_programDir;
    IProcessRunner& m_runner;
    SendFailures* m_failures = nullptr;
    QString m_options;
    QSet<QString> m_givenNames;
    QSet<QString> m_inUse; // body files a running mailer may still read
    QList<Mail> m_waiting;
    // Outcomes that arrive after this sender is gone are dropped.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
