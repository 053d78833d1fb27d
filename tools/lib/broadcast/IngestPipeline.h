#pragma once

#include "DataInWriter.h"
#include "FileAssembler.h"
#include "RepeatRecord.h"
#include "StreamDecoder.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>

// Received bytes in, complete product files out: decodes the stream,
// reassembles the files and writes each into the Data-In directory. A file
// that cannot be written (full disk, no permission) is kept and retried a
// bounded number of times; then it is saved to the spill directory so that it
// is not lost, and every step is reported. Files still waiting for a retry
// when the pipeline ends go the same way. A record of the files written lately
// lets a repeat sent after a restart be known.
class IngestPipeline : public QObject
{
    Q_OBJECT
public:
    struct Counters
    {
        qint64 blocks = 0;         // good blocks taken from the stream
        qint64 files = 0;          // files written into Data-In
        qint64 checksumErrors = 0; // blocks rejected (bad sum or bad compressed data)
        qint64 repeats = 0;        // repeat transmissions dropped
        qint64 evicted = 0;        // incomplete files given up
        qint64 disagreed = 0;      // incomplete files dropped for disagreeing copies of a block
        qint64 reconnects = 0;     // kept by the connection layer, shown with the rest
    };
    static constexpr int LastFilesShown = 12;
    static constexpr int MaxWriteAttempts = 6;

    IngestPipeline(bool xorStream, const QString& dataInDir, QObject* parent = nullptr);
    ~IngestPipeline() override;

    void feed(QByteArrayView bytes);
    // A new connection: a half-received packet of the old one is dropped.
    void restartStream();

    void setSpillDirectory(const QString& dir) { m_spillDir = dir; }
    // Where the files written lately are recorded; what it holds counts as
    // completed already.
    void setRecentRecord(const QString& path);
    // The end: files waiting for a retry get one last try, then the spill
    // directory; none is dropped unreported.
    void finish();
    void setRetryInterval(int milliseconds) { m_retryTimer.setInterval(milliseconds); }
    void setAssemblerLimits(FileAssembler::Limits limits)
    {
        m_limits = limits;
        m_assembler = FileAssembler(limits);
    }
    void countReconnect();

    const Counters& counters() const { return m_counters; }
    const StreamDecoder::Counters& decoderCounters() const { return m_decoder.counters(); }
    QStringList lastFiles() const { return m_lastFiles; }
    int pendingWrites() const { return static_cast<int>(m_unwritten.size()); }
    QString dataInDirectory() const { return m_writer.directory(); }

signals:
    void fileWritten(const QString& path);
    void serverListReceived(const QByteArray& frame);
    // Whole packets came (good or not): the stream is alive.
    void packetsDecoded();
    void countersChanged();
    void logMessage(const QString& text);

private:
    struct Unwritten
    {
        QString fileName;
        QByteArray bytes;
        int attempts = 0;
    };
    void take(const DecodedBlock& block);
    void store(Unwritten file);
    bool tryWrite(Unwritten& file);
    void retryWrites();
    void spill(const Unwritten& file);
    void evict();

    StreamDecoder m_decoder;
    FileAssembler::Limits m_limits;
    FileAssembler m_assembler;
    std::unique_ptr<RepeatRecord> m_record;
    DataInWriter m_writer;
    QString m_spillDir;
    QElapsedTimer m_clock;
    QTimer m_evictTimer;
    QTimer m_retryTimer;
    QList<Unwritten> m_unwritten;
    Counters m_counters;
    QStringList m_lastFiles;
};
