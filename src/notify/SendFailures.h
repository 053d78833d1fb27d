#pragma once

#include <QString>

class IClock;
class StatusLine;
struct ProcessOutcome;

// Tells a send that did not succeed (the mailer or pager ended with an
// error, or could not be started): on the status line and as a line in the
// send log, so that the user learns of it although the program did not wait.
class SendFailures
{
public:
    SendFailures(StatusLine& status, const IClock& clock);

    // Appends logLine + " at " + date and time + " - " + reason to logPath and
    // shows statusText + " - " + reason. A log that cannot be written does
    // not hide the status line report.
    void report(const QString& logPath, const QString& logLine, const QString& statusText,
                const QString& reason);

    // Why a program run failed, e.g. "not sent (blat exit code 1, see
    // blat-log.txt)"; meaningOf1 to meaningOf3 are what the program's exit
    // codes 1 to 3 mean (empty: "failed").
    static QString reason(const QString& program, const ProcessOutcome& outcome,
                          const QString& meaningOf1, const QString& meaningOf2,
                          const QString& meaningOf3 = QString());

private:
    StatusLine& m_status;
    const IClock& m_clock;
};
