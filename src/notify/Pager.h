#pragma once

#include "notify/PageQueue.h"

#include <QObject>
#include <QString>

class IClock;
class IProcessRunner;
class PagerConfig;
class SendFailures;
class Settings;

// Sends pages through the paging program: its path, a blank, then the
// recipient, ":" and the message as one argument. Pages can be suspended.
// Paging is available when the program was found (its path is not empty);
// its directory holds the pager files. The page limit MaxPages is read from
// the settings at every page. Pages go out through one queue, in order, one
// run of the paging program at a time; the program goes on at once. A page
// the paging program could not deliver is tried again (bounded), then
// reported when a report sink is set, as is a page with no paging program.
class Pager : public QObject
{
    Q_OBJECT
public:
    Pager(const Settings& settings, IProcessRunner& runner, QString programPath = QString(),
          QObject* parent = nullptr);

    // Where failed pages are reported, with logPath the send log
    // ("pager-log.txt"); none = only a warning on the console.
    void setFailures(SendFailures* failures, const QString& logPath);

    QString programPath() const { return m_programPath; }
    void setProgramPath(const QString& path);
    PageQueue& queue() { return m_queue; }
    bool available() const { return !m_programPath.isEmpty(); }
    // Where the pager files users.ini and groups.ini live, ending in "/": the
    // paging program's own directory when they are there (an installation of
    // its own), else fallbackDir (the program directory, where the setup
    // dialogs write them and the paging program looks next). Empty when the
    // paging program was not found.
    QString filesDirectory(const QString& fallbackDir) const;

    // The pager tag: first line of "pager-tag.txt"; empty when missing or empty.
    void loadTag(const QString& path);
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

    bool suspended() const { return m_suspended; }
    void setSuspended(bool suspended);

    // Page text with its line ends turned into single blanks and the tag in front.
    QString cleanText(const QString& xyz) const;
    // Cleans the text (at least 2 characters) and pages it.
    void ProcessPage(const QString& xyz, const QString& UserPage, const QString& PagerChars);
    // Sends one page unless paging is suspended; cut to PagerChars x MaxPages.
    // Without the paging program the page is reported as failed.
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
    void reportFailure(const QString& recipient, const QString& reason) const;

    const Settings& m_settings;
    QString m_programPath;
    PageQueue m_queue;
    SendFailures* m_failures = nullptr;
    QString m_logPath;
    QString m_tag;
    bool m_suspended = false;
};
