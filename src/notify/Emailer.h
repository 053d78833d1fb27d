#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class DisplayState;
class EmailBook;
class IClock;
class IPrompter;
class MailSender;
class MenuDefinitions;
class ReferenceTables;
class Settings;
class StatusLine;

// E-mail of the bulletin on show (File > Send to E-Mail..., the list pop-up)
// and of alarms (the alarm component's alarmEMail event): subject, tag text,
// shortened warnings, strip-LF line ends, the "email-log.txt" line and the
// mailer. Alarm mail can be suspended; bulletin mail ignores that.
class Emailer : public QObject
{
    Q_OBJECT
public:
    static inline const QString NoBulletin = QStringLiteral("No bulletin displayed");
    static inline const QString NotAvailable = QStringLiteral("     --- Product not available ---");
    static inline const QString BodyFile = QStringLiteral("output.txt");

    struct Context
    {
        const Settings& settings;
        const MenuDefinitions& menus;
        const ReferenceTables& tables;
        const EmailBook& book;
        const DisplayState& display;
        StatusLine& status;
        IPrompter& prompter;
        const IClock& clock;
        MailSender& mail;
    };

    // Asks for the recipients; an empty text means cancelled.
    using RecipientPicker = std::function<QString()>;

    explicit Emailer(Context context, QObject* parent = nullptr);

    // Mails the bulletin on show to the recipients picked. The product and
    // its text are taken before the recipients are asked for, so that an
    // alarm shown meanwhile does not change what is mailed.
    void mailShownBulletin(const RecipientPicker& pick);
    // Mails an alarm text to address book entry Method (0 = own address).
    void getalarm_alarmEMail(const QString& prodtxt, int Method, const QString& CheckString);

    // An alarm mail's subject in words; nothing keeps the usual subject.
    using SubjectWords = std::function<std::optional<QString>(const QString& prodtxt)>;
    void setAlarmSubjectWords(SubjectWords words) { m_subjectWords = std::move(words); }

    bool suspended() const { return m_suspended; }
    void setSuspended(bool suspended);

    static bool hasBulletin(const QString& displayText);
    // Recipients less one trailing comma.
    static QString dropTrailingComma(const QString& recipients);
    // Bulletin mail: line ends stripped first, then the tag text put in front.
    static QString bulletinBody(const QString& text, bool stripLF, const QString& tag);
    // Alarm mail: the tag text put in front first, then line ends stripped.
    static QString alarmBody(const QString& prodtxt, bool stripLF, const QString& tag);

signals:
    void suspendedChanged(bool suspended);

private:
    void mailBulletin(const QString& name, QString text, QString recipients);
    void mailAlarm(const QString& prodtxt, const QString& CheckString, const QString& recipients);
    void log(const QString& line) const;

    Context m_c;
    bool m_suspended = false;
    SubjectWords m_subjectWords;
};
