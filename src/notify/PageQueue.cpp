#include "notify/PageQueue.h"

#include "notify/SendFailures.h"
#include "platform/BoundedRead.h"
#include "platform/ProcessRunner.h"

#include <QFile>
#include <QFileInfo>

namespace {
const QChar kQuote = QLatin1Char('"');
const QString kProgram = QStringLiteral("abcPager");
constexpr qint64 kReportBytes = 64 * 1024;
} // namespace

PageQueue::PageQueue(IProcessRunner& runner, QObject* parent) : QObject(parent), m_runner(runner)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryWaitMs);
    connect(&m_retry, &QTimer::timeout, this, &PageQueue::startNext);
}

PageQueue::~PageQueue()
{
    // Pages not yet sent go to a last run that nobody waits for; with a run
    // still going, the paging program's port lock makes it wait its turn.
    for (qsizetype first = 0; first < m_waiting.size(); first += PagesPerRun) {
        if (m_programPath.isEmpty())
            break;
        m_runner.run(commandLine(m_waiting.mid(first, PagesPerRun)), LaunchWindow::NormalNoFocus,
                     [](const ProcessOutcome&) {});
    }
}

void PageQueue::add(const QString& recipient, const QString& message)
{
    m_waiting.append({recipient, message, 0});
    if (!busy() && !m_retry.isActive())
        startNext();
}

// One double-quoted argument; a quote inside becomes three quotes, which the
// command-line splitter reads back as one literal quote.
QString PageQueue::quoted(const QString& text)
{
    QString inner = text;
    inner.replace(kQuote, QStringLiteral("\"\"\""));
    return kQuote + inner + kQuote;
}

QString PageQueue::commandLine(const QList<Page>& pages, const QString& reportPath) const
{
    const bool blankInPath = m_programPath.contains(QLatin1Char(' '));
    QString line = blankInPath ? quoted(m_programPath) : m_programPath;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString page = pages.at(i).recipient + QLatin1Char(':') + pages.at(i).message;
        line += QLatin1Char(' ') + quoted(i == 0 ? page : QStringLiteral("--page=") + page);
    }
    if (!reportPath.isEmpty())
        line += QStringLiteral(" --report ") + quoted(reportPath);
    return line;
}

QString PageQueue::reportPath() const
{
    return m_reportDir.isValid() ? m_reportDir.filePath(QStringLiteral("pages.txt")) : QString();
}

void PageQueue::startNext()
{
    if (busy() || m_waiting.isEmpty())
        return;
    m_sending = m_waiting.mid(0, PagesPerRun);
    m_waiting.remove(0, m_sending.size());
    for (Page& page : m_sending)
        ++page.runs;
    // One page: its result is the exit status; several: one line each in the report.
    const QString report = m_sending.size() > 1 ? reportPath() : QString();
    if (!report.isEmpty())
        QFile::remove(report);
    const std::weak_ptr<int> alive = m_alive;
    m_runner.run(commandLine(m_sending, report), LaunchWindow::NormalNoFocus,
                 [this, alive](const ProcessOutcome& outcome) {
                     if (!alive.expired())
                         finished(outcome);
                 });
}

// The result of each page sent in the last run. A page the report does not
// name counts as not delivered, unless the program refused the whole run.
QList<int> PageQueue::results(const ProcessOutcome& outcome) const
{
    const bool ran = outcome.kind == ProcessOutcome::Kind::Finished;
    const int whole = ran && outcome.exitCode == NotSent ? NotSent : Undelivered;
    if (m_sending.size() == 1)
        return {ran ? outcome.exitCode : Undelivered};
    QList<int> codes(m_sending.size(), whole);
    QFile report(reportPath());
    if (!ran || !report.open(QIODevice::ReadOnly))
        return codes;
    const QList<QByteArray> lines = BoundedRead::read(report, kReportBytes).split('\n');
    for (qsizetype i = 0; i < codes.size() && i < lines.size(); ++i) {
        bool ok = false;
        const int code = lines.at(i).trimmed().split(' ').value(0).toInt(&ok);
        if (ok && code >= Delivered && code <= LeftOut)
            codes[i] = code;
    }
    return codes;
}

QString PageQueue::reason(const ProcessOutcome& outcome) const
{
    const QString program =
        m_programPath.isEmpty() ? kProgram : QFileInfo(m_programPath).fileName();
    return SendFailures::reason(program, outcome, QStringLiteral("nothing sent"),
                                QStringLiteral("some pages not delivered"),
                                QStringLiteral("pager numbers that cannot be paged were left out"));
}

void PageQueue::finished(const ProcessOutcome& outcome)
{
    const QList<int> codes = results(outcome);
    const QList<Page> sent = std::exchange(m_sending, {});
    QList<Page> again;
    for (qsizetype i = 0; i < sent.size(); ++i) {
        const Page& page = sent.at(i);
        const int code = codes.at(i);
        if (code == Delivered)
            continue;
        if (code == Undelivered && page.runs < Runs) {
            again.append(page);
            continue;
        }
        const bool ran = outcome.kind == ProcessOutcome::Kind::Finished;
        QString why = reason(ran ? ProcessOutcome{ProcessOutcome::Kind::Finished, code} : outcome);
        if (page.runs > 1)
            why += QStringLiteral("; tried %1 times").arg(page.runs);
        emit failed(page.recipient, why);
    }
    // Pages to try again go first, after a pause that lets the line recover.
    if (!again.isEmpty()) {
        m_waiting = again + m_waiting;
        m_retry.start();
        return;
    }
    startNext();
}
