// bench_engine: how fast the ingest engines take the broadcast stream apart.
// Corpus products are encoded as an Internet (XORed, V2) stream, six files
// interleaved at a time, and fed in 4 KB reads through the shipped decoder and
// reassembler, then through the whole pipeline that writes into a temporary
// Data-In directory (each file written safely: temporary name, flushed to
// disk, renamed). Prints blocks per second and the peak memory.
//
//   bench_engine --hostile [TOTAL]  a hostile server: 256 files that claim
//       TOTAL blocks each (default 16384), 3,000 blocks sent to each and
//       none finished; prints the memory held.
//   bench_engine --waiting [N]      N files (default 10,700) wait in Data-In
//       while 2,000 products are written; prints the time taken.
#include "BenchFigures.h"
#include "DataInWriter.h"
#include "FileAssembler.h"
#include "IngestPipeline.h"
#include "PacketEncoder.h"
#include "StreamDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct Stream
{
    QByteArray wire;
    qint64 blocks = 0;
    int files = 0;
};

Stream buildStream(int copies)
{
    const QDir corpus(QStringLiteral(VANTOREL_TEST_DATA_DIR "/corpus/products"));
    QList<QByteArray> contents;
    QStringList names;
    for (const QString& name : corpus.entryList(QDir::Files)) {
        QFile f(corpus.filePath(name));
        if (f.open(QIODevice::ReadOnly)) {
            contents << f.readAll();
            names << name.section(QLatin1Char('@'), 0, 0);
        }
    }
    Stream s;
    QByteArray plain;
    int serial = 0;
    for (int copy = 0; copy < copies; ++copy) {
        for (int g = 0; g < contents.size(); g += 6) {
            QList<QList<QByteArray>> group;
            for (int i = g; i < std::min<int>(g + 6, contents.size()); ++i, ++serial) {
                group << PacketEncoder::filePackets(names[i], contents[i],
                                                    QStringLiteral("1/1/2026 %1 PM").arg(serial),
                                                    PacketEncoder::Form::Compressed);
                s.blocks += group.last().size();
                ++s.files;
            }
            for (int round = 0;; ++round) {
                bool any = false;
                for (const auto& packets : std::as_const(group)) {
                    if (round < packets.size()) {
                        plain += packets[round];
                        any = true;
                    }
                }
                if (!any)
                    break;
            }
        }
    }
    s.wire = PacketEncoder::xored(plain);
    return s;
}

double decodeAndAssemble(const Stream& s, qint64* completed)
{
    StreamDecoder decoder(true);
    FileAssembler assembler;
    QElapsedTimer timer;
    timer.start();
    const QByteArrayView wire(s.wire);
    for (qsizetype i = 0; i < wire.size(); i += 4096) {
        StreamDecoder::Output out;
        decoder.feed(wire.sliced(i, std::min<qsizetype>(4096, wire.size() - i)), out);
        for (const DecodedBlock& b : std::as_const(out.blocks)) {
            FileAssembler::CompletedFile file;
            if (assembler.add(b, timer.elapsed(), &file) == FileAssembler::Result::Completed)
                ++*completed;
        }
    }
    return timer.nsecsElapsed() / 1e9;
}

double throughPipeline(const Stream& s, qint64* written)
{
    QTemporaryDir dataIn;
    IngestPipeline pipeline(true, dataIn.path());
    // the program takes each file out of Data-In soon after it arrives
    QObject::connect(&pipeline, &IngestPipeline::fileWritten,
                     [](const QString& path) { QFile::remove(path); });
    QElapsedTimer timer;
    timer.start();
    const QByteArrayView wire(s.wire);
    for (qsizetype i = 0; i < wire.size(); i += 4096)
        pipeline.feed(wire.sliced(i, std::min<qsizetype>(4096, wire.size() - i)));
    const double seconds = timer.nsecsElapsed() / 1e9;
    *written = pipeline.counters().files;
    return seconds;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line; !(line = status.readLine()).isEmpty();) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

int hostile(int total)
{
    QTextStream out(stdout);
    constexpr int kFiles = 256;
    constexpr int kBlocks = 3000;
    QTemporaryDir dataIn;
    IngestPipeline pipeline(true, dataIn.path());
    const long before = residentKb();
    qint64 wire = 0;
    QElapsedTimer timer;
    timer.start();
    for (int n = 1; n <= kBlocks; ++n) {
        QByteArray chunk;
        for (int f = 0; f < kFiles; ++f) {
            QByteArray data = QByteArray("HOSTILE ").repeated(128);
            data.replace(0, 16, QByteArray::number(f * 100000 + n).leftJustified(16, ' '));
            chunk += PacketEncoder::packet(QStringLiteral("H%1.TXT").arg(f), n, total,
                                           QStringLiteral("1/1/2026 1:00:00 PM"), data,
                                           PacketEncoder::Form::Compressed);
        }
        const QByteArray x = PacketEncoder::xored(chunk);
        wire += x.size();
        pipeline.feed(x);
    }
    out << "hostile server: " << kFiles << " files claiming " << total << " blocks, " << kBlocks
        << " blocks sent to each, " << wire / (1024 * 1024) << " MB on the wire, "
        << qRound(timer.elapsed() / 1000.0) << " s\n";
    out << "resident memory: " << residentKb() / 1024 << " MB now (" << before / 1024
        << " MB before), peak " << BenchFigures::peakRssKb() / 1024 << " MB; files written "
        << pipeline.counters().files << "\n";
    return 0;
}

int waiting(int count)
{
    QTextStream out(stdout);
    QTemporaryDir dataIn;
    for (int i = 0; i < count; ++i) {
        QFile f(dataIn.filePath(QStringLiteral("W%1.TXT").arg(i)));
        f.open(QIODevice::WriteOnly);
    }
    DataInWriter writer(dataIn.path());
    QElapsedTimer timer;
    timer.start();
    constexpr int kProducts = 2000;
    for (int i = 0; i < kProducts; ++i)
        writer.write(QStringLiteral("P%1.TXT").arg(i % 500), QByteArray("product\r\n"));
    out << count << " files waiting in Data-In: " << kProducts << " products written in "
        << timer.elapsed() << " ms (" << writer.directoryListings() << " directory listings)\n";
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.size() >= 2 && args.at(1) == QLatin1String("--hostile"))
        return hostile(args.size() > 2 ? args.at(2).toInt() : 16384);
    if (args.size() >= 2 && args.at(1) == QLatin1String("--waiting"))
        return waiting(args.size() > 2 ? args.at(2).toInt() : 10700);
    const long before = BenchFigures::peakRssKb();
    const Stream s = buildStream(4);
    out << "stream: " << s.files << " files, " << s.blocks << " blocks, " << s.wire.size() / 1024
        << " KB on the wire (built with a peak of " << BenchFigures::peakRssKb() - before
        << " KB)\n";

    qint64 completed = 0;
    const double decodeSeconds = decodeAndAssemble(s, &completed);
    out << "decode + reassemble: " << qRound64(s.blocks / decodeSeconds) << " blocks/s, "
        << completed << " files complete, " << qRound(decodeSeconds * 1000) << " ms\n";

    qint64 written = 0;
    const double pipelineSeconds = throughPipeline(s, &written);
    out << "decode + reassemble + write into Data-In: " << qRound64(s.blocks / pipelineSeconds)
        << " blocks/s, " << written << " files written, " << qRound(pipelineSeconds * 1000)
        << " ms\n";
    out << "peak memory: " << BenchFigures::peakRssKb()
        << " KB (stream held in memory: " << s.wire.size() / 1024 << " KB)\n";
    return completed == s.files && written == s.files ? 0 : 1;
}
