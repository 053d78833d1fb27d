#pragma once

#include <QSet>
#include <QString>

class IProcessLauncher;

// Sends mail through the command-line mailer "blat" in the program directory:
// the body goes into a text file there, the mailer is started hidden and the
// program goes on at once without looking at the result.
class MailSender
{
public:
    MailSender(QString programDir, IProcessLauncher& launcher);

    // The extra mailer options: first line of "blat-output.txt", empty when missing.
    void loadOptions(const QString& path);
    QString options() const { return m_options; }
    void setOptions(const QString& options) { m_options = options; }
    QString programDir() const { return m_programDir; }

    QString installCommand(const QString& server, const QString& sender) const;
    QString sendCommand(const QString& bodyFile, const QString& subject,
                        const QString& recipients) const;
    QString metarSendCommand(const QString& recipients) const;
    // The recipient list as it goes on a command line: unchanged, or quoted
    // as one argument when it is empty, starts with "-", or holds a blank,
    // quote or control character that would split it and let a part of it be
    // read as a mailer option.
    static QString recipientArgument(const QString& recipients);

    // Registers server and sender with the mailer. Returns the launcher's result.
    qint64 install(const QString& server, const QString& sender);
    // Writes body + CR LF to the program directory's bodyFile (whole) and starts
    // the send command. Throws RuntimeError when the body cannot be written.
    qint64 send(const QString& bodyFile, const QString& body, const QString& subject,
                const QString& recipients);
    // The METAR alarm form: body in "output.txt", subject "METAR".
    qint64 sendMetar(const QString& body, const QString& recipients);

    // A body file name for alarm mail, "output" + number + ".txt", that does not
    // exist yet and has not been handed out before in this run.
    QString alarmBodyFileName();

private:
    QString mailer() const;
    static QString quoted(const QString& text);
    void writeBody(const QString& bodyFile, const QString& body) const;

    QString m_programDir;
    IProcessLauncher& m_launcher;
    QString m_options;
    QSet<QString> m_givenNames;
};
