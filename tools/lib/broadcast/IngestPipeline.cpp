#include "IngestPipeline.h"

#include <QDateTime>
#include <QFileInfo>

IngestPipeline::IngestPipeline(bool xorStream, const QString& dataInDir, QObject* parent)
    : QObject(parent), m_decoder(xorStream), m_writer(dataInDir)
{
    m_clock.start();
    m_evictTimer.setInterval(10 * 1000);
    connect(&m_evictTimer, &QTimer::timeout, this, &IngestPipeline::evict);
    m_evictTimer.start();
    m_retryTimer.setInterval(5 * 1000);
    connect(&m_retryTimer, &QTimer::timeout, this, &IngestPipeline::retryWrites);
}

IngestPipeline::~IngestPipeline()
{
    finish();
}

void IngestPipeline::setRecentRecord(const QString& path)
{
    m_record = std::make_unique<RepeatRecord>(path, m_limits.rememberMs);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 steadyNow = m_clock.elapsed();
    for (const RepeatRecord::Entry& e : m_record->load(now))
        m_assembler.remember(e.digest, steadyNow - (now - e.utcMs));
}

void IngestPipeline::finish()
{
    m_retryTimer.stop();
    QList<Unwritten> waiting;
    waiting.swap(m_unwritten);
    for (Unwritten& file : waiting) {
        if (!tryWrite(file))
            spill(file);
    }
}

void IngestPipeline::feed(QByteArrayView bytes)
{
    StreamDecoder::Output out;
    const qint64 checksumBefore =
        m_decoder.counters().checksumErrors + m_decoder.counters().badCompressed;
    m_decoder.feed(bytes, out);
    for (const QByteArray& frame : std::as_const(out.serverLists))
        emit serverListReceived(frame);
    if (!out.blocks.isEmpty())
        emit packetsDecoded();
    for (const DecodedBlock& block : std::as_const(out.blocks))
        take(block);
    const qint64 checksumAfter =
        m_decoder.counters().checksumErrors + m_decoder.counters().badCompressed;
    m_counters.checksumErrors += checksumAfter - checksumBefore;
    if (!out.blocks.isEmpty() || checksumAfter != checksumBefore)
        emit countersChanged();
}

void IngestPipeline::restartStream()
{
    m_decoder.reset();
}

void IngestPipeline::countReconnect()
{
    ++m_counters.reconnects;
    emit countersChanged();
}

void IngestPipeline::take(const DecodedBlock& block)
{
    if (!block.checksumOk)
        return; // counted by the decoder; the file waits for the repeat
    FileAssembler::CompletedFile file;
    const auto result = m_assembler.add(block, m_clock.elapsed(), &file);
    if (result == FileAssembler::Result::Filler)
        return;
    ++m_counters.blocks;
    if (result == FileAssembler::Result::Repeat)
        ++m_counters.repeats;
    if (result == FileAssembler::Result::Disagreed) {
        ++m_counters.disagreed;
        emit logMessage(QStringLiteral("Block %1 of %2 came again with other bytes: the file is "
                                       "gathered anew")
                            .arg(block.header.block)
                            .arg(block.header.fileName));
    }
    if (result != FileAssembler::Result::Completed)
        return;
    if (m_record && !m_record->add(file.digest, QDateTime::currentMSecsSinceEpoch()))
        emit logMessage(QStringLiteral("Cannot record written files in ") + m_record->path());
    store({file.fileName, file.bytes, 0});
}

void IngestPipeline::store(Unwritten file)
{
    if (tryWrite(file))
        return;
    m_unwritten.append(std::move(file));
    if (!m_retryTimer.isActive())
        m_retryTimer.start();
}

bool IngestPipeline::tryWrite(Unwritten& file)
{
    const DataInWriter::Result r = m_writer.write(file.fileName, file.bytes);
    ++file.attempts;
    if (!r.ok) {
        emit logMessage(QStringLiteral("Could not write %1 (attempt %2 of %3): %4")
                            .arg(file.fileName)
                            .arg(file.attempts)
                            .arg(MaxWriteAttempts)
                            .arg(r.error));
        return false;
    }
    ++m_counters.files;
    const QString name = QFileInfo(r.path).fileName();
    m_lastFiles.prepend(QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm:ss ")) +
                        name);
    while (m_lastFiles.size() > LastFilesShown)
        m_lastFiles.removeLast();
    emit fileWritten(r.path);
    emit countersChanged();
    return true;
}

void IngestPipeline::retryWrites()
{
    QList<Unwritten> waiting;
    waiting.swap(m_unwritten);
    for (Unwritten& file : waiting) {
        if (tryWrite(file))
            continue;
        if (file.attempts >= MaxWriteAttempts)
            spill(file);
        else
            m_unwritten.append(std::move(file));
    }
    if (m_unwritten.isEmpty())
        m_retryTimer.stop();
}

// The last resort for a file Data-In would not take: the spill directory,
// written the same safe way. Reported either way.
void IngestPipeline::spill(const Unwritten& file)
{
    if (!m_spillDir.isEmpty()) {
        const DataInWriter::Result r = DataInWriter(m_spillDir).write(file.fileName, file.bytes);
        if (r.ok) {
            emit logMessage(QStringLiteral("Gave up writing %1 into Data-In; saved as %2")
                                .arg(file.fileName, r.path));
            return;
        }
        emit logMessage(QStringLiteral("Could not save %1 to %2 either: %3")
                            .arg(file.fileName, m_spillDir, r.error));
    }
    emit logMessage(QStringLiteral("LOST %1: Data-In %2 is not writable")
                        .arg(file.fileName, m_writer.directory()));
}

void IngestPipeline::evict()
{
    const QStringList dropped = m_assembler.evict(m_clock.elapsed());
    if (dropped.isEmpty())
        return;
    m_counters.evicted += dropped.size();
    emit logMessage(QStringLiteral("Incomplete, given up: ") + dropped.join(QStringLiteral(", ")));
    emit countersChanged();
}
