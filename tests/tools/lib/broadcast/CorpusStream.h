#pragma once

// Builds broadcast streams of corpus products for the engine tests and reads
// back what an engine wrote. Header only: shared by several test programs.

#include "PacketEncoder.h"
#include "TestSupport.h"

#include <QDir>
#include <QMap>

struct CorpusStream
{
    QByteArray stream;              // before any XOR
    QMap<QByteArray, int> expected; // file contents -> how often they must arrive
    int files = 0;
};

struct CorpusStreamOptions
{
    int first = 0;
    int count = 1000;
    int interleave = 6;     // files whose blocks alternate
    int corruptEvery = 5;   // every n-th file has a spoilt block, then is sent again
    int repeatEvery = 4;    // every n-th file is sent twice, as urgent files are
    bool compressed = true; // V2 packets where they shrink; false: V1 only
    QByteArray serverList;  // a frame sent after every group, if any
};

inline QStringList corpusNames()
{
    return QDir(testDataPath(QStringLiteral("corpus/products"))).entryList(QDir::Files);
}

inline CorpusStream buildCorpusStream(const CorpusStreamOptions& o)
{
    const QDir corpus(testDataPath(QStringLiteral("corpus/products")));
    const QStringList names = corpusNames().mid(o.first, o.count);
    CorpusStream result;
    result.files = static_cast<int>(names.size());
    for (int g = 0; g < names.size(); g += o.interleave) {
        QList<QList<QByteArray>> group;
        QList<int> again;
        for (int i = g; i < std::min<int>(g + o.interleave, names.size()); ++i) {
            const QByteArray bytes = readBytes(corpus.filePath(names[i]));
            result.expected[bytes] += 1;
            const int n = o.first + i;
            const QString date = QStringLiteral("12/6/2026 %1:%2:%3 PM")
                                     .arg(1 + n / 3600)
                                     .arg(n / 60 % 60)
                                     .arg(n % 60);
            group << PacketEncoder::filePackets(
                names[i].section(QLatin1Char('@'), 0, 0), bytes, date,
                o.compressed && i % 2 == 0 ? PacketEncoder::Form::Compressed
                                           : PacketEncoder::Form::Plain);
            if (i % o.corruptEvery == 0 || i % o.repeatEvery == 0)
                again << static_cast<int>(group.size() - 1);
        }
        for (int round = 0;; ++round) {
            bool any = false;
            for (int f = 0; f < group.size(); ++f) {
                if (round >= group[f].size())
                    continue;
                any = true;
                QByteArray packet = group[f][round];
                if ((g + f) % o.corruptEvery == 0 && round == group[f].size() / 2)
                    packet[6 + 80 + 10] = static_cast<char>(packet[6 + 80 + 10] ^ 0x21);
                result.stream += packet;
            }
            if (!any)
                break;
        }
        for (const int f : again) {
            for (const QByteArray& packet : group[f])
                result.stream += packet;
        }
        result.stream += o.serverList;
    }
    return result;
}

// Contents of every file in a directory (hidden ones included, so that a
// left-behind temporary file shows up as a difference).
inline QMap<QByteArray, int> directoryContents(const QString& path, QStringList* names = nullptr)
{
    const QDir dir(path);
    QMap<QByteArray, int> result;
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : entries)
        result[readBytes(dir.filePath(name))] += 1;
    if (names)
        *names = entries;
    return result;
}

inline int fileCount(const QString& path)
{
    return static_cast<int>(QDir(path).entryList(QDir::Files | QDir::Hidden).size());
}
