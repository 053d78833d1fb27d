#include "ingest/DataInPoller.h"

#include "ingest/ArrivalReadiness.h"
#include "ingest/IProductProcessor.h"
#include "platform/DirectoryEntries.h"
#include "platform/DirectoryWatcher.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDateTime>
#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("MAIN: Ingest Link");

// A name split into the product name and its version number: an engine
// writes NAME, then NAME@1, NAME@2 ... while the earlier ones wait.
struct Version
{
    QStringView base;
    int rank = 0; // 0 no version, 1 numbered, 2 anything else after '@'
    qulonglong number = 0;
};

Version versionOf(const QString& name)
{
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    if (at < 0)
        return {name, 0, 0};
    const QStringView suffix = QStringView(name).mid(at + 1);
    bool numeric = !suffix.isEmpty() && suffix.size() <= 18;
    for (const QChar c : suffix)
        numeric = numeric && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    return {QStringView(name).left(at), numeric ? 1 : 2, numeric ? suffix.toULongLong() : 0};
}

// Name order without regard to case, except that the versions of one name
// come in the order written (@2 before @10), so the newest is filed last.
bool arrivalOrder(const QString& a, const QString& b)
{
    const Version va = versionOf(a);
    const Version vb = versionOf(b);
    const int base = va.base.compare(vb.base, Qt::CaseInsensitive);
    if (base != 0)
        return base < 0;
    if (va.rank != vb.rank)
        return va.rank < vb.rank;
    if (va.number != vb.number)
        return va.number < vb.number;
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}
} // namespace

DataInPoller::DataInPoller(QString programDir, IPrompter& prompter, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir)), m_prompter(prompter)
{
    m_tmrRELink.setInterval(1000);
    connect(&m_tmrRELink, &QTimer::timeout, this, &DataInPoller::poll);
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &DataInPoller::onStepTimer);
    // A reported arrival starts the pass on the next turn, apart from the
    // reading of the reports. One reported while a pass was starting (its
    // file may have come after the listing) gets a pass after that one.
    m_arrivalTimer.setSingleShot(true);
    m_arrivalTimer.setInterval(0);
    connect(&m_arrivalTimer, &QTimer::timeout, this, [this] {
        if (!m_enabled)
            return;
        if (m_passRunning)
            m_arrivalPending = true;
        else
            poll();
    });
}

DataInPoller::~DataInPoller() = default;

void DataInPoller::setDirectory(const QString& directory)
{
    m_directory = directory;
    if (m_readiness)
        m_readiness->reset();
    if (m_watcher && m_enabled)
        m_watcher->watch(m_directory);
}

void DataInPoller::watchArrivals()
{
    if (m_readiness)
        return;
    m_watcher = std::make_unique<DirectoryWatcher>();
    m_readiness = std::make_unique<ArrivalReadiness>(m_watcher.get());
    connect(m_watcher.get(), &DirectoryWatcher::completed, this, &DataInPoller::onArrival);
    if (m_enabled)
        m_watcher->watch(m_directory);
}

bool DataInPoller::isWatching() const
{
    return m_watcher && m_watcher->isActive();
}

void DataInPoller::onArrival()
{
    if (!m_enabled)
        return;
    if (m_passRunning) {
        m_arrivalPending = true;
        return;
    }
    m_arrivalTimer.start();
}

void DataInPoller::start()
{
    m_enabled = true;
    if (m_watcher && (!m_watcher->isActive() || m_watcher->directory() != m_directory))
        m_watcher->watch(m_directory);
    if (!m_passRunning)
        m_tmrRELink.start();
}

void DataInPoller::stop()
{
    m_enabled = false;
    m_tmrRELink.stop();
    m_arrivalTimer.stop();
    if (m_watcher)
        m_watcher->stop();
}

void DataInPoller::poll()
{
    if (beginPass())
        m_stepTimer.start(0);
}

void DataInPoller::runPassNow()
{
    if (!beginPass())
        return;
    runBatch(true);
    finishPass();
}

bool DataInPoller::beginPass()
{
    if (m_passRunning)
        return false;
    emit logAvailable(TextFile::exists(m_programDir + QStringLiteral("weather.txt")));
    if (m_processor && !m_recovered) {
        m_recovered = true;
        m_processor->recover();
    }
    m_files = takeInventory();
    if (m_readiness)
        m_files = m_readiness->ready(m_directory, m_files);
    m_arrivalPending = false;
    m_tmrRELink.stop();
    m_passRunning = true;
    m_index = 0;
    m_retries = 0;
    return true;
}

// The regular files with names that are text, in name order (versions of a
// name in the order written, see arrivalOrder). Everything else
// that would otherwise sit in the directory for ever is set aside: links and
// special files (never followed), names that are no text, and hidden files
// that nobody has written to for StaleHiddenAge (a hidden file is one an
// engine is still writing).
QStringList DataInPoller::takeInventory()
{
    QStringList files;
    const qint64 staleBefore = QDateTime::currentSecsSinceEpoch() - m_staleHiddenAge;
    for (const DirectoryEntries::Entry& e : DirectoryEntries::list(m_directory)) {
        QString refusal;
        if (e.kind == DirectoryEntries::Kind::Directory)
            continue;
        if (e.kind == DirectoryEntries::Kind::Link)
            refusal = QStringLiteral("a link, not a file");
        else if (e.kind == DirectoryEntries::Kind::Other)
            refusal = QStringLiteral("not a regular file");
        else if (!e.decodable)
            refusal = QStringLiteral("name is not valid text");
        else if (e.hidden() && e.modifiedSecs < staleBefore)
            refusal = QStringLiteral("hidden file left unfinished");
        else if (e.hidden())
            continue;
        if (refusal.isEmpty())
            files << e.name;
        else if (m_processor)
            m_processor->refuse(e.raw, refusal);
    }
    std::sort(files.begin(), files.end(), arrivalOrder);
    return files;
}

// Files handed over in one turn: up to SliceMs of work, or the whole pass.
DataInPoller::Next DataInPoller::runBatch(bool whole)
{
    emit batchStarted();
    QElapsedTimer slice;
    slice.start();
    Next next = step();
    // A whole pass also retries at once (bounded by the retry limit).
    while (whole ? next != Next::Done : next == Next::File && slice.elapsed() < SliceMs)
        next = step();
    emit batchFinished();
    return next;
}

void DataInPoller::onStepTimer()
{
    const Next next = runBatch(false);
    switch (next) {
    case Next::File:
        m_stepTimer.start(0);
        break;
    case Next::Retry:
        m_stepTimer.start(m_retryDelay);
        break;
    case Next::Done:
        finishPass();
        break;
    }
}

// Hands the current file to the processor. A file still being written is
// retried on a later turn, a bounded number of times; any other error is
// reported and ends the pass.
DataInPoller::Next DataInPoller::step()
{
    if (m_index >= m_files.size() || !m_processor)
        return Next::Done;
    try {
        m_processor->ProcessData(m_files.at(m_index));
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::PathFileAccess) {
            if (++m_retries <= m_retryLimit)
                return Next::Retry;
        } else {
            report(error.code(), error.text());
            return Next::Done;
        }
    } catch (const std::exception& error) {
        report(static_cast<int>(ErrorNumber::InvalidCall), QString::fromLocal8Bit(error.what()));
        return Next::Done;
    }
    ++m_index;
    m_retries = 0;
    return m_index < m_files.size() ? Next::File : Next::Done;
}

void DataInPoller::report(int number, const QString& text)
{
    m_prompter.message(ErrorReport::format(kCaption, number, text), QString(),
                       IPrompter::Icon::Exclamation);
}

void DataInPoller::finishPass()
{
    m_stepTimer.stop();
    m_passRunning = false;
    m_files.clear();
    if (m_enabled)
        m_tmrRELink.start();
    emit passFinished();
    if (m_arrivalPending && m_enabled)
        m_arrivalTimer.start();
}
