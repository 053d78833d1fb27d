#include "notify/MailSender.h"

#include "platform/ProcessLauncher.h"
#include "platform/TextFile.h"

#include <QRandomGenerator>

namespace {
const QChar kQuote = QLatin1Char('"');
} // namespace

MailSender::MailSender(QString programDir, IProcessLauncher& launcher)
    : m_programDir(std::move(programDir)), m_launcher(launcher)
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
    return m_programDir + QStringLiteral("blat ");
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

qint64 MailSender::install(const QString& server, const QString& sender)
{
    return m_launcher.start(installCommand(server, sender), LaunchWindow::Hidden);
}

void MailSender::writeBody(const QString& bodyFile, const QString& body) const
{
    TextFile::writeAll(m_programDir + bodyFile, body + QStringLiteral("\r\n"));
}

qint64 MailSender::send(const QString& bodyFile, const QString& body, const QString& subject,
                        const QString& recipients)
{
    writeBody(bodyFile, body);
    return m_launcher.start(sendCommand(bodyFile, subject, recipients), LaunchWindow::Hidden);
}

qint64 MailSender::sendMetar(const QString& body, const QString& recipients)
{
    writeBody(QStringLiteral("output.txt"), body);
    return m_launcher.start(metarSendCommand(recipients), LaunchWindow::Hidden);
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
