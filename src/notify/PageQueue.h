#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

class IProcessRunner;
struct ProcessOutcome;

// The program's one line to the paging program. Pages wait here in the order
// they were given and go out one run of the paging program at a time, up to
// PagesPerRun pages in one run (the paging program then carries the pages
// that share a paging service in one call). A page the paging program could
// not deliver is tried again in a later run, first in line, at most Runs
// times in all; a page that fails for good is reported through failed().
// Pages still waiting when the queue is destroyed are handed to one last run
// of the paging program, which finishes on its own. The runner must outlive
// the queue.
class PageQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int PagesPerRun = 20;
    static constexpr int Runs = 3;
    static constexpr int RetryWaitMs = 30000;

    // What became of one page: the paging program's exit status for it.
    enum Result
    {
        Delivered = 0,
        NotSent = 1,     // recipient or set-up unusable: trying again would not help
        Undelivered = 2, // the paging terminal was not reached or did not take it
        LeftOut = 3      // delivered, but some of the group's numbers cannot be paged
    };

    struct Page
    {
        QString recipient;
        QString message;
        int runs = 0; // runs of the paging program that carried it
    };

    explicit PageQueue(IProcessRunner& runner, QObject* parent = nullptr);
    ~PageQueue() override;

    void setProgramPath(const QString& path) { m_programPath = path; }
    QString programPath() const { return m_programPath; }
    void setRetryWait(int ms) { m_retry.setInterval(ms); }

    void add(const QString& recipient, const QString& message);
    // Pages not yet handed to a run (those waiting to be tried again included).
    int waiting() const { return static_cast<int>(m_waiting.size()); }
    bool busy() const { return !m_sending.isEmpty(); }

    // The command line of one run: the program, a blank, the first page as
    // one quoted "RECIPIENT:message" argument; further pages follow as
    // "--page=RECIPIENT:message", and with reportPath "--report" names the
    // file where the paging program writes each page's result.
    QString commandLine(const QList<Page>& pages, const QString& reportPath = QString()) const;
    // Why a page failed, from its result or from how the program ended.
    QString reason(const ProcessOutcome& outcome) const;

signals:
    // A page that was not delivered to every pager of its recipient, for good.
    void failed(const QString& recipient, const QString& reason);

private:
    void startNext();
    void finished(const ProcessOutcome& outcome);
    QList<int> results(const ProcessOutcome& outcome) const;
    QString reportPath() const;
    static QString quoted(const QString& text);

    IProcessRunner& m_runner;
    QString m_programPath;
    QList<Page> m_waiting;
    QList<Page> m_sending;
    QTimer m_retry;
    QTemporaryDir m_reportDir;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
