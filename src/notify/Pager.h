#pragma once

#include <QObject>
#include <QString>

class IClock;
class IProcessLauncher;
class PagerConfig;

// Sends pages through the paging program: its path, a blank, then the
// recipient, ":" and the message as one argument. Pages can be suspended.
class Pager : public QObject
{
    Q_OBJECT
public:
    Pager(QString programPath, IProcessLauncher& launcher, QObject* parent = nullptr);

    QString programPath() const { return m_programPath; }

    // The pager tag: first line of "pager-tag.txt"; empty when missing or empty.
    void loadTag(const QString& path);
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    bool suspended() const { return m_suspended; }
    void setSuspended(bool suspended);
    QString maxPages() const { return m_maxPages; }
    void setMaxPages(const QString& maxPages) { m_maxPages = maxPages; }

    // Page text with its line ends turned into single blanks and the tag in front.
    QString cleanText(const QString& xyz) const;
    // Cleans the text (at least 2 characters) and pages it.
    void ProcessPage(const QString& xyz, const QString& UserPage, const QString& PagerChars);
    // Sends one page unless paging is suspended; cut to PagerChars x MaxPages.
    void PageIt(const QString& Message, const QString& UserPage, const QString& PagerChars);
    // Page of an alarm: aMethod 0 = personal pager, 1 to 10 = that group. The log
    // line goes to logPath even when paging is suspended.
    void alarmPage(const QString& prodtxt, int aMethod, const PagerConfig& config,
                   const QString& logPath, const IClock& clock);

    QString commandLine(const QString& recipient, const QString& message) const;
    // The message as it leaves: control characters 3 and 30 blanked, length cut.
    QString pageText(const QString& message, const QString& pagerChars) const;

signals:
    void suspendedChanged(bool suspended);

private:
    static QString quoted(const QString& text);

    QString m_programPath;
    IProcessLauncher& m_launcher;
    QString m_tag;
    QString m_maxPages = QStringLiteral("5");
    bool m_suspended = false;
};
