#include "notify/Emailer.h"

#include "core/DisplayState.h"
#include "core/LineEnds.h"
#include "core/MenuDefinitions.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "notify/EmailBook.h"
#include "notify/MailSender.h"
#include "notify/MailSubject.h"
#include "notify/SendFailures.h"
#include "notify/WarningText.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDebug>

Emailer::Emailer(Context context, QObject* parent) : QObject(parent), m_c(context) {}

void Emailer::setSuspended(bool suspended)
{
    if (m_suspended == suspended)
        return;
    m_suspended = suspended;
    emit suspendedChanged(suspended);
}

bool Emailer::hasBulletin(const QString& displayText)
{
    return !displayText.isEmpty() && displayText != NotAvailable;
}

QString Emailer::dropTrailingComma(const QString& recipients)
{
    return recipients.endsWith(QLatin1Char(',')) ? recipients.chopped(1) : recipients;
}

QString Emailer::bulletinBody(const QString& text, bool stripLF, const QString& tag)
{
    return tag + (stripLF ? LineEnds::StripEOL(text) : text);
}

QString Emailer::alarmBody(const QString& prodtxt, bool stripLF, const QString& tag)
{
    const QString body = tag + prodtxt;
    return stripLF ? LineEnds::StripEOL(body) : body;
}

void Emailer::log(const QString& line) const
{
    TextFile::appendLine(m_c.mail.logPath(),
                         line + QStringLiteral(" at ") + DateTimeText::general(m_c.clock.now()));
}

void Emailer::mailShownBulletin(const RecipientPicker& pick)
{
    const QString text = m_c.display.text();
    const QString name = m_c.display.tag();
    if (!hasBulletin(text)) {
        m_c.prompter.message(NoBulletin, QString(), IPrompter::Icon::Information);
        return;
    }
    const QString recipients = pick ? pick() : QString();
    if (recipients.isEmpty())
        return;
    try {
        mailBulletin(name, text, recipients);
    } catch (const RuntimeError& error) {
        m_c.prompter.message(ErrorReport::format(QStringLiteral("MAIN: mnuEmail"), error),
                             QString(), IPrompter::Icon::Exclamation);
    }
}

void Emailer::mailBulletin(const QString& name, QString text, QString recipients)
{
    if (m_c.settings.CompressEmailWarnings != 0)
        text = WarningText::compress(text, name, m_c.tables.dictionary());
    m_c.status.setText(QStringLiteral("Emailing Displayed Bulletin"));
    const QString product = name.size() < 4 ? QStringLiteral("EMWIN Bulletin") : name;
    recipients = dropTrailingComma(recipients);
    const QString body = bulletinBody(text, m_c.settings.stripLF, m_c.book.tag());
    const QString subject =
        MailSubject::build(product, MailSubject::Path::Bulletin, m_c.settings.ExpandHeader != 0,
                           m_c.menus.menuItems(), m_c.clock.now());
    if (recipients.size() <= 2)
        return;
    m_c.mail.send(BodyFile, body, subject, recipients);
    log(QStringLiteral("Emailing ") + subject + QStringLiteral(" to ") + recipients);
}

void Emailer::getalarm_alarmEMail(const QString& prodtxt, int Method, const QString& CheckString)
{
    if (m_suspended || Method < 0 || Method > EmailBook::MaxEntries)
        return;
    const QString recipients = dropTrailingComma(m_c.book.address(Method));
    try {
        mailAlarm(prodtxt, CheckString, recipients);
    } catch (const RuntimeError& error) {
        // The alarm goes on with its other actions; the user learns of the
        // mail that could not go out.
        SendFailures(m_c.status, m_c.clock)
            .report(m_c.mail.logPath(),
                    QStringLiteral("FAILED ALARM ") + CheckString + QStringLiteral(" to ") +
                        recipients,
                    QStringLiteral("E-mail FAILED: ALARM ") + CheckString + QStringLiteral(" to ") +
                        recipients,
                    error.text());
    }
}

void Emailer::mailAlarm(const QString& prodtxt, const QString& CheckString,
                        const QString& recipients)
{
    try {
        log(QStringLiteral("ALARM ") + CheckString + QStringLiteral(" to ") + recipients);
    } catch (const RuntimeError& error) {
        // A log that cannot be written must not hold the alarm mail back.
        qWarning("%s", error.what());
    }
    QString subject =
        MailSubject::build(CheckString, MailSubject::Path::Alarm, m_c.settings.ExpandHeader != 0,
                           m_c.menus.menuItems(), m_c.clock.now());
    if (m_subjectWords) {
        if (const std::optional<QString> words = m_subjectWords(prodtxt))
            subject = *words;
    }
    const QString body = alarmBody(prodtxt, m_c.settings.stripLF, m_c.book.tag());
    if (recipients.size() <= 2)
        return;
    m_c.mail.send(m_c.mail.alarmBodyFileName(), body, subject, recipients);
}
