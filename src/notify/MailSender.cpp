#include "notify/MailSender.h"

#include "notify/SendFailures.h"
#include "platform/DateTimeText.h"
#include "platform/ProcessRunner.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QUrl>

namespace {
const QChar kQuote = QLatin1Char('"');
const QString kMailer = QStringLiteral("blat");
constexpr int kDeliveryUnknown = 3; // the mailer's exit code for a mail sent but not confirmed
// Bounds on what the next start reads back.
constexpr int kMostHeld = 1000;
constexpr qint64 kLargestBody = 16 * 1024 * 1024;

// One field of a queue line: percent-encoded, so that blanks and line ends
// inside a subject or recipient list stay in their field.
QString field(const QString& text)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(text));
}

// A text for one send log line: control characters become blanks.
QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    return text;
}
} // namespace

MailSender::MailSender(QString programDir, IProcessRunner& runner)
    : m_programDir(std::move(programDir)), m_runner(runner)
{
}

void MailSender::loadOptions(const QString& path)
{
    m_options.clear();
    if (!TextFile::exists(path))
        return;
    const QStringList lines = TextFile::readLines(path);
    if (!lines.isEmpty())
        m_options = lines.first();
}

QString MailSender::mailer() const
{
    return m_programDir + kMailer + QLatin1Char(' ');
}

// A double-quoted argument. A quote inside becomes three quotes, which the
// command-line splitter reads back as one literal quote.
QString MailSender::quoted(const QString& text)
{
    QString inner = text;
    inner.replace(kQuote, QStringLiteral("\"\"\""));
    return kQuote + inner + kQuote;
}

QString MailSender::recipientArgument(const QString& recipients)
{
    // Empty, it would let "-t" take the next option as its value.
    if (recipients.isEmpty() || recipients.startsWith(QLatin1Char('-')))
        return quoted(recipients);
    for (const QChar c : recipients) {
        if (c.isSpace() || c == kQuote || c.unicode() < 0x20)
            return quoted(recipients);
    }
    return recipients;
}

QString MailSender::installCommand(const QString& server, const QString& sender) const
{
    return mailer() + QStringLiteral("-install ") + quoted(server) + QLatin1Char(' ') +
           quoted(sender) + QStringLiteral(" 3 25");
}

QString MailSender::sendCommand(const QString& bodyFile, const QString& subject,
                                const QString& recipients) const
{
    // An empty subject goes as an empty quoted argument, which the launcher keeps.
    return mailer() + quoted(m_programDir + bodyFile) + QStringLiteral(" -s ") + quoted(subject) +
           QStringLiteral(" -t ") + recipientArgument(recipients) + QLatin1Char(' ') + m_options;
}

QString MailSender::metarSendCommand(const QString& recipients) const
{
    return mailer() + quoted(m_programDir + QStringLiteral("output.txt")) +
           QStringLiteral(" -s METAR -t ") + recipientArgument(recipients) + QLatin1Char(' ') +
           m_options;
}

void MailSender::install(const QString& server, const QString& sender)
{
    const std::weak_ptr<int> alive = m_alive;
    m_runner.run(installCommand(server, sender), LaunchWindow::Hidden,
                 [this, alive](const ProcessOutcome& outcome) {
                     if (outcome.succeeded() || alive.expired())
                         return;
                     const QString reason = SendFailures::reason(
                         kMailer, outcome, QStringLiteral("server not registered"), QString());
                     if (m_failures)
                         m_failures->report(logPath(), QStringLiteral("FAILED blat -install"),
                                            QStringLiteral("Mail server not registered"), reason);
                     else
                         qWarning("Mail server not registered: %s", qPrintable(reason));
                 });
}

void MailSender::writeBody(const QString& bodyFile, const QString& body) const
{
    TextFile::writeAll(m_programDir + bodyFile, body + QStringLiteral("\r\n"));
}

void MailSender::send(const QString& bodyFile, const QString& body, const QString& subject,
                      const QString& recipients)
{
    submit({bodyFile, body, sendCommand(bodyFile, subject, recipients), subject, recipients});
}

void MailSender::sendMetar(const QString& body, const QString& recipients)
{
    submit({QStringLiteral("output.txt"), body, metarSendCommand(recipients),
            QStringLiteral("METAR"), recipients});
}

void MailSender::submit(const Mail& mail)
{
    if (m_inUse.contains(mail.bodyFile)) {
        m_waiting.append(mail);
        return;
    }
    launch(mail);
}

void MailSender::launch(const Mail& mail)
{
    writeBody(mail.bodyFile, mail.body);
    m_inUse.insert(mail.bodyFile);
    run(mail.commandLine, mail.subject, mail.recipients, mail.bodyFile);
}

// The next mail waiting for bodyFile, now that no mailer reads it any more.
void MailSender::startWaiting(const QString& bodyFile)
{
    for (qsizetype i = 0; i < m_waiting.size(); ++i) {
        if (m_waiting.at(i).bodyFile != bodyFile)
            continue;
        const Mail mail = m_waiting.takeAt(i);
        try {
            launch(mail);
            return;
        } catch (const RuntimeError& error) {
            reportFailure({ProcessOutcome::Kind::FailedToStart, -1}, mail.subject, mail.recipients,
                          error.text());
            --i;
        }
    }
}

void MailSender::run(const QString& commandLine, const QString& subject, const QString& recipients,
                     const QString& bodyFile)
{
    const std::weak_ptr<int> alive = m_alive;
    m_runner.run(commandLine, LaunchWindow::Hidden,
                 [this, alive, subject, recipients, bodyFile](const ProcessOutcome& outcome) {
                     if (alive.expired())
                         return;
                     if (!outcome.succeeded())
                         reportFailure(outcome, subject, recipients);
                     if (!bodyFile.isEmpty()) {
                         m_inUse.remove(bodyFile);
                         startWaiting(bodyFile);
                     }
                 });
}

void MailSender::reportFailure(const ProcessOutcome& outcome, const QString& subject,
                               const QString& recipients, const QString& why) const
{
    // Exit code 3: the mailer sent the whole mail but got no reply to it, so
    // it may have arrived; it is not a failure to send again.
    const bool unknown = why.isEmpty() && outcome.kind == ProcessOutcome::Kind::Finished &&
                         outcome.exitCode == kDeliveryUnknown;
    const QString reason =
        !why.isEmpty() ? why
        : unknown
            ? QStringLiteral("delivery unknown: the server did not confirm it, it may have "
                             "arrived and was not sent again (blat exit code 3, see blat-log.txt)")
            : SendFailures::reason(kMailer, outcome, QStringLiteral("not sent"),
                                   QStringLiteral("not accepted for every recipient"));
    if (!m_failures) {
        qWarning("Mail %s to %s: %s", qPrintable(subject), qPrintable(recipients),
                 qPrintable(reason));
        return;
    }
    const QString what = subject + QStringLiteral(" to ") + recipients;
    const QString word = unknown ? QStringLiteral("UNCONFIRMED") : QStringLiteral("FAILED");
    m_failures->report(logPath(), word + QLatin1Char(' ') + what,
                       QStringLiteral("E-mail ") + word + QStringLiteral(": ") + what, reason);
}

QString MailSender::alarmBodyFileName()
{
    for (;;) {
        const quint32 number = QRandomGenerator::global()->bounded(1u, 10000000u);
        const QString name =
            QStringLiteral("output") + QString::number(number) + QStringLiteral(".txt");
        if (m_givenNames.contains(name) || TextFile::exists(m_programDir + name))
            continue;
        m_givenNames.insert(name);
        return name;
    }
}

bool MailSender::isAlarmBodyFileName(const QString& name)
{
    static const QRegularExpression form(QStringLiteral("^output[0-9]+\\.txt$"));
    return form.match(name).hasMatch();
}

int MailSender::removeAlarmBodiesBefore(const QDateTime& cutoff) const
{
    QSet<QString> keep;
    for (const Mail& mail : held())
        keep.insert(mail.bodyFile);
    int removed = 0;
    const QDir dir(m_programDir);
    const QFileInfoList files =
        dir.entryInfoList({QStringLiteral("output*.txt")}, QDir::Files | QDir::NoSymLinks);
    for (const QFileInfo& file : files) {
        if (isAlarmBodyFileName(file.fileName()) && file.lastModified() < cutoff &&
            !keep.contains(file.fileName()) && QFile::remove(file.absoluteFilePath()))
            ++removed;
    }
    return removed;
}

void MailSender::appendLog(const QString& line) const
{
    try {
        TextFile::appendLine(logPath(), line);
    } catch (const RuntimeError& error) {
        qWarning("%s", error.what());
    }
}

QStringList MailSender::holdForNextStart(const QDateTime& now)
{
    QStringList keep(m_inUse.begin(), m_inUse.end());
    QStringList lines;
    // Mails held at an earlier closing and not sent since stay held.
    for (const Mail& mail : held()) {
        lines << field(mail.bodyFile) + QLatin1Char(' ') + field(mail.subject) + QLatin1Char(' ') +
                     field(mail.recipients);
        keep << mail.bodyFile;
    }
    for (const Mail& mail : std::exchange(m_waiting, {})) {
        const QString when = DateTimeText::general(now);
        try {
            const QString bodyFile = alarmBodyFileName();
            writeBody(bodyFile, mail.body);
            lines << field(bodyFile) + QLatin1Char(' ') + field(mail.subject) + QLatin1Char(' ') +
                         field(mail.recipients);
            keep << bodyFile;
            appendLog(QStringLiteral("QUEUED ") + oneLine(mail.subject) + QStringLiteral(" to ") +
                      oneLine(mail.recipients) + QStringLiteral(" at ") + when +
                      QStringLiteral(" - not sent before closing; it goes out at the next start"));
        } catch (const RuntimeError& error) {
            appendLog(QStringLiteral("FAILED ") + oneLine(mail.subject) + QStringLiteral(" to ") +
                      oneLine(mail.recipients) + QStringLiteral(" at ") + when +
                      QStringLiteral(" - not sent before closing: ") + error.text());
        }
    }
    if (!lines.isEmpty()) {
        try {
            TextFile::writeAll(queuePath(),
                               lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        } catch (const RuntimeError& error) {
            appendLog(QStringLiteral("FAILED to keep the mail queue at ") +
                      DateTimeText::general(now) + QStringLiteral(" - ") + error.text());
        }
    }
    return keep;
}

QList<MailSender::Mail> MailSender::held() const
{
    QList<Mail> mails;
    if (!TextFile::exists(queuePath()))
        return mails;
    QStringList lines;
    try {
        lines = TextFile::readLines(queuePath());
    } catch (const RuntimeError& error) {
        qWarning("%s", error.what());
        return mails;
    }
    for (const QString& line : lines.mid(0, kMostHeld)) {
        const QStringList fields = line.split(QLatin1Char(' '));
        if (fields.size() != 3)
            continue;
        Mail mail;
        mail.bodyFile = QUrl::fromPercentEncoding(fields.at(0).toLatin1());
        mail.subject = QUrl::fromPercentEncoding(fields.at(1).toLatin1());
        mail.recipients = QUrl::fromPercentEncoding(fields.at(2).toLatin1());
        // Only a body file of this directory's own form is read back.
        if (isAlarmBodyFileName(mail.bodyFile))
            mails << mail;
    }
    return mails;
}

int MailSender::resendHeld(const QDateTime& now)
{
    const QList<Mail> mails = held();
    QFile::remove(queuePath());
    int sent = 0;
    for (Mail mail : mails) {
        const QString when = DateTimeText::general(now);
        const QString what = oneLine(mail.subject) + QStringLiteral(" to ") +
                             oneLine(mail.recipients) + QStringLiteral(" at ") + when;
        try {
            const QString path = m_programDir + mail.bodyFile;
            if (QFileInfo(path).size() > kLargestBody)
                throw RuntimeError(ErrorNumber::FileNotFound, mail.bodyFile);
            QString body = TextFile::readAll(path);
            if (body.endsWith(QLatin1String("\r\n")))
                body.chop(2);
            appendLog(QStringLiteral("Emailing ") + what +
                      QStringLiteral(" (held when Vantorel closed)"));
            send(mail.bodyFile, body, mail.subject, mail.recipients);
            ++sent;
        } catch (const RuntimeError& error) {
            appendLog(QStringLiteral("FAILED ") + what + QStringLiteral(" - held mail not sent: ") +
                      error.text());
        }
    }
    return sent;
}
