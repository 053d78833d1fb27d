// bench_engine: how fast the ingest engines take the broadcast stream apart.
// Corpus products are encoded as an Internet (XORed, V2) stream, six files
// interleaved at a time, and fed in 4 KB reads through the shipped decoder and
// reassembler, then through the whole pipeline that writes into a temporary
// Data-In directory (each file written safely: temporary name, flushed to
// disk, renamed). Prints blocks per second and the peak memory.
#include "BenchFigures.h"
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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
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
