#include "notify/SendFailures.h"

#include "core/StatusLine.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/ProcessRunner.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDebug>
#include <QStringList>

SendFailures::SendFailures(StatusLine& status, const IClock& clock)
    : m_status(status), m_clock(clock)
{
}

void SendFailures::report(const QString& logPath, const QString& logLine, const QString& statusText,
                          const QString& reason)
{
    m_status.setText(statusText + QStringLiteral(" - ") + reason);
    try {
        TextFile::appendLine(logPath, logLine + QStringLiteral(" at ") +
                                          DateTimeText::general(m_clock.now()) +
                                          QStringLiteral(" - ") + reason);
    } catch (const RuntimeError& error) {
        qWarning("%s", error.what());
    }
}

QString SendFailures::reason(const QString& program, const ProcessOutcome& outcome,
                             const QString& meaningOf1, const QString& meaningOf2,
                             const QString& meaningOf3)
{
    switch (outcome.kind) {
    case ProcessOutcome::Kind::NotFound:
        return program + QStringLiteral(" not found");
    case ProcessOutcome::Kind::FailedToStart:
        return program + QStringLiteral(" could not be started");
    case ProcessOutcome::Kind::Crashed:
        return program + QStringLiteral(" crashed");
    case ProcessOutcome::Kind::Finished:
        break;
    }
    const QStringList meanings{meaningOf1, meaningOf2, meaningOf3};
    QString meaning = meanings.value(outcome.exitCode - 1);
    if (meaning.isEmpty())
        meaning = QStringLiteral("failed");
    return meaning + QStringLiteral(" (") + program + QStringLiteral(" exit code ") +
           QString::number(outcome.exitCode) + QStringLiteral(", see ") + program +
           QStringLiteral("-log.txt)");
}
