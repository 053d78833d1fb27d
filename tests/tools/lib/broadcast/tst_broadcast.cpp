#include "TestSupport.h"

#include "DataInWriter.h"
#include "FileAssembler.h"
#include "IngestPipeline.h"
#include "PacketEncoder.h"
#include "PacketHeader.h"
#include "StreamDecoder.h"

#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

const QString kDate = QStringLiteral("5/19/2016 5:24:26 PM");

QByteArray header(const QByteArray& fields)
{
    return fields.leftJustified(78, ' ', true) + "\r\n";
}

// Deterministic file contents of a given length.
QByteArray contents(const QString& name, int length)
{
    QByteArray bytes;
    const QByteArray seed = name.toLatin1() + " line of text\r\r\n";
    while (bytes.size() < length)
        bytes += seed;
    return bytes.left(length);
}

DecodedBlock block(const QString& name, int number, int total, bool good = true,
                   const QString& date = kDate)
{
    DecodedBlock b;
    b.header.fileName = name;
    b.header.block = number;
    b.header.total = total;
    b.header.dateText = date;
    b.data = contents(name, total * 1024).mid((number - 1) * 1024, 1024);
    b.checksumOk = good;
    return b;
}

QString describe(const QList<DecodedBlock>& blocks)
{
    QStringList parts;
    for (const DecodedBlock& b : blocks)
        parts << QStringLiteral("%1#%2%3")
                     .arg(b.header.fileName)
                     .arg(b.header.block)
                     .arg(b.checksumOk ? QString() : QStringLiteral("!"));
    return parts.join(QLatin1Char(' '));
}

QByteArray corrupted(QByteArray packet, int offset)
{
    packet[offset] = static_cast<char>(packet[offset] ^ 0x5A);
    return packet;
}

} // namespace

class TestBroadcast : public QObject
{
    Q_OBJECT
private slots:
    void parseHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("sum");
        QTest::addColumn<int>("dataLength");
        QTest::addColumn<QString>("date");

        QTest::newRow("as documented")
            << header("/PFZFPSFOCA.TXT/PN 3    /PT 5    /CS 63366  /FD5/19/2016 5:24:26 PM") << true
            << "ZFPSFOCA.TXT" << 3 << 5 << 63366 << 0 << kDate;
        QTest::newRow("other order, compressed")
            << header("/PN 1 /PT 1 /DL371 /PFRADUSAPN.GIF /CS 20  /FD12/6/2026 6:27:51 AM") << true
            << "RADUSAPN.GIF" << 1 << 1 << 20 << 371 << "12/6/2026 6:27:51 AM";
        QTest::newRow("no date") << header("/PFA.TXT/PN 1/PT 2/CS 0") << true << "A.TXT" << 1 << 2
                                 << 0 << 0 << QString();
        QTest::newRow("block beyond total")
            << header("/PFA.TXT/PN 3 /PT 2 /CS 5 /FD1/1/2020 1:00:00 AM") << false << "" << 0 << 0
            << 0 << 0 << "";
        QTest::newRow("block zero")
            << header("/PFA.TXT/PN 0 /PT 2 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("absurd total")
            << header("/PFA.TXT/PN 1 /PT 999999 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("path in name")
            << header("/PF../../X.TXT/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("slash in name")
            << header("/PFA\\B.TXT/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("name too long")
            << header("/PFABCDEFGHI.TXT/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("option-like name")
            << header("/PF-RF.TXT/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("no extension")
            << header("/PFREADME/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("sum not a number")
            << header("/PFA.TXT/PN 1 /PT 1 /CS x5") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("compressed length too large")
            << header("/PFA.TXT/PN 1 /PT 1 /CS 5 /DL1025") << false << "" << 0 << 0 << 0 << 0 << "";
        QTest::newRow("missing name")
            << header("/PN 1 /PT 1 /CS 5") << false << "" << 0 << 0 << 0 << 0 << "";
    }
    void parseHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        const auto h = PacketHeader::parse(bytes);
        QCOMPARE(h.has_value(), valid);
        if (!valid)
            return;
        QTEST(h->fileName, "fileName");
        QTEST(h->block, "number");
        QTEST(h->total, "total");
        QTEST(static_cast<int>(h->checksum), "sum");
        QTEST(h->dataLength, "dataLength");
        QTEST(h->dateText, "date");
        // what the encoder writes reads back the same
        const auto again = PacketHeader::parse(h->toBytes());
        QVERIFY(again.has_value());
        QCOMPARE(again->toBytes(), h->toBytes());
        QCOMPARE(h->toBytes().size(), PacketHeader::Size);
    }
    void decodeStream_data()
    {
        QTest::addColumn<QByteArray>("stream"); // before XOR
        QTest::addColumn<QString>("blocks");
        QTest::addColumn<int>("serverLists");
        QTest::addColumn<qint64>("badHeaders");

        const QByteArray text = contents(QStringLiteral("T"), 2000);
        const QByteArray zeros(1024, '\0');
        const auto plain = [&](const char* name, int n, int total) {
            return PacketEncoder::packet(QLatin1String(name), n, total, kDate,
                                         text.mid((n - 1) * 1024, 1024),
                                         PacketEncoder::Form::Plain);
        };
        const auto packed = [&](const char* name, int n, int total) {
            return PacketEncoder::packet(QLatin1String(name), n, total, kDate,
                                         text.mid((n - 1) * 1024, 1024),
                                         PacketEncoder::Form::Compressed);
        };
        const QByteArray list = PacketEncoder::serverListFrame({"a.example:2211", "b.example:1000"},
                                                               {"c.example:2211"});

        QTest::newRow("plain packets")
            << plain("A.TXT", 1, 2) + plain("A.TXT", 2, 2) << "A.TXT#1 A.TXT#2" << 0 << qint64(0);
        QTest::newRow("compressed packets")
            << packed("A.TXT", 1, 2) + packed("A.TXT", 2, 2) << "A.TXT#1 A.TXT#2" << 0 << qint64(0);
        QTest::newRow("mixed forms")
            << packed("A.TXT", 1, 2) + plain("B.TXT", 1, 1) + packed("A.TXT", 2, 2)
            << "A.TXT#1 B.TXT#1 A.TXT#2" << 0 << qint64(0);
        QTest::newRow("noise before and between")
            << QByteArray("\x01garbage\0\0\0noise", 16) + plain("A.TXT", 1, 2) + "junk" +
                   packed("A.TXT", 2, 2)
            << "A.TXT#1 A.TXT#2" << 0 << qint64(0);
        QTest::newRow("long run of zeros")
            << zeros + plain("A.TXT", 1, 2) << "A.TXT#1" << 0 << qint64(0);
        QTest::newRow("data byte changed: marked bad")
            << corrupted(plain("A.TXT", 1, 2), 6 + 80 + 17) + plain("A.TXT", 2, 2)
            << "A.TXT#1! A.TXT#2" << 0 << qint64(0);
        QTest::newRow("compressed data changed: dropped")
            << corrupted(packed("A.TXT", 1, 2), 6 + 80 + 12) + packed("A.TXT", 2, 2) << "A.TXT#2"
            << 0 << qint64(0);
        QTest::newRow("broken header skipped")
            << QByteArray(6, '\0') + header("/PFA.TXT/PN 9 /PT 1 /CS 1") + plain("B.TXT", 1, 1)
            << "B.TXT#1" << 0 << qint64(1);
        QTest::newRow("server list between packets")
            << plain("A.TXT", 1, 2) + list + packed("A.TXT", 2, 2) << "A.TXT#1 A.TXT#2" << 1
            << qint64(0);
        QTest::newRow("cut off at the end")
            << plain("A.TXT", 1, 2) + plain("A.TXT", 2, 2).left(500) << "A.TXT#1" << 0 << qint64(0);
    }
    // Every case decodes the same from the Internet (XORed) and the serial form,
    // whole and one byte at a time.
    void decodeStream()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QString, blocks);
        QFETCH(int, serverLists);
        QFETCH(qint64, badHeaders);
        for (const bool xored : {true, false}) {
            for (const int chunk : {1, 7, 1 << 20}) {
                StreamDecoder decoder(xored);
                StreamDecoder::Output out;
                const QByteArray wire = xored ? PacketEncoder::xored(stream) : stream;
                for (qsizetype i = 0; i < wire.size(); i += chunk)
                    decoder.feed(
                        QByteArrayView(wire).sliced(i, std::min<qsizetype>(chunk, wire.size() - i)),
                        out);
                QCOMPARE(describe(out.blocks), blocks);
                QCOMPARE(out.serverLists.size(), serverLists);
                QCOMPARE(decoder.counters().badHeaders, badHeaders);
                for (const DecodedBlock& b : std::as_const(out.blocks))
                    QCOMPARE(b.data.size(), PacketHeader::BlockSize);
            }
        }
    }
    // Random read boundaries over a long stream: the same blocks, in order.
    void decodeAnyChunking()
    {
        QByteArray stream;
        QStringList expected;
        for (int f = 0; f < 20; ++f) {
            const QString name = QStringLiteral("F%1.TXT").arg(f);
            const auto packets = PacketEncoder::filePackets(
                name, contents(name, 500 + f * 700), kDate,
                f % 2 ? PacketEncoder::Form::Compressed : PacketEncoder::Form::Plain);
            for (int i = 0; i < packets.size(); ++i) {
                stream += packets[i];
                expected << QStringLiteral("%1#%2").arg(name).arg(i + 1);
            }
        }
        const QByteArray wire = PacketEncoder::xored(stream);
        QRandomGenerator random(42);
        StreamDecoder decoder(true);
        StreamDecoder::Output out;
        for (qsizetype i = 0; i < wire.size();) {
            const qsizetype n = std::min<qsizetype>(random.bounded(1, 3000), wire.size() - i);
            decoder.feed(QByteArrayView(wire).sliced(i, n), out);
            i += n;
        }
        QCOMPARE(describe(out.blocks), expected.join(QLatin1Char(' ')));
        QCOMPARE(decoder.counters().checksumErrors, qint64(0));
    }
    // Random bytes full of sync marks and half headers do no harm, and the next
    // real packet still decodes.
    void decoderSurvivesGarbage()
    {
        QRandomGenerator random(7);
        const QList<QByteArray> pieces{QByteArray(6, '\0'),        "/PF",
                                       "/PFA.TXT/PN 1 /PT 1 /CS ", "/ServerList/",
                                       QByteArray(1, '\xff'),      "/DL900"};
        StreamDecoder decoder(false);
        StreamDecoder::Output out;
        for (int i = 0; i < 20000; ++i) {
            QByteArray chunk = pieces[random.bounded(int(pieces.size()))];
            for (int n = random.bounded(0, 40); n > 0; --n)
                chunk += char(random.bounded(256));
            decoder.feed(chunk, out);
        }
        for (const DecodedBlock& b : std::as_const(out.blocks))
            QCOMPARE(b.data.size(), PacketHeader::BlockSize);
        out = {};
        decoder.feed(QByteArray(StreamDecoder::MaxServerListBytes + 1, 'x'), out);
        const QByteArray packet = PacketEncoder::packet(QStringLiteral("B.TXT"), 1, 1, kDate,
                                                        "text", PacketEncoder::Form::Compressed);
        decoder.feed(packet, out);
        QCOMPARE(describe(out.blocks), QStringLiteral("B.TXT#1"));
    }
    void assemble_data()
    {
        // Steps: NAME#n/total (good block), NAME#n/total! (bad checksum),
        // NAME#n/total* (other contents), NAME#n/total% (the bytes of the next
        // block: a damaged block number), NAME#n/total@date (another date),
        // +S (seconds pass, then eviction runs).
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("completed");

        QTest::newRow("in order") << QStringList{"A#1/2", "A#2/2"} << QStringList{"A"};
        QTest::newRow("reverse order") << QStringList{"A#2/2", "A#1/2"} << QStringList{"A"};
        QTest::newRow("interleaved")
            << QStringList{"A#1/3", "B#1/2", "A#2/3", "B#2/2", "A#3/3"} << QStringList{"B", "A"};
        QTest::newRow("block twice") << QStringList{"A#1/2", "A#1/2", "A#2/2"} << QStringList{"A"};
        QTest::newRow("repeat transmission dropped")
            << QStringList{"A#1/2", "A#2/2", "A#1/2", "A#2/2"} << QStringList{"A"};
        QTest::newRow("bad block waits for the repeat")
            << QStringList{"A#1/2", "A#2/2!", "A#1/2", "A#2/2"} << QStringList{"A"};
        QTest::newRow("bad block never repaired")
            << QStringList{"A#1/2", "A#2/2!"} << QStringList{};
        QTest::newRow("new version, same name")
            << QStringList{"A#1/1", "A#1/1@1/1/2020 1:00:00 AM"} << QStringList{"A", "A"};
        QTest::newRow("idle file evicted") << QStringList{"A#1/2", "+91", "A#2/2"} << QStringList{};
        QTest::newRow("not yet idle") << QStringList{"A#1/2", "+60", "A#2/2"} << QStringList{"A"};
        QTest::newRow("forgotten after long")
            << QStringList{"A#1/1", "+2000", "A#1/1"} << QStringList{"A", "A"};
        QTest::newRow("same key, other contents: a new version")
            << QStringList{"A#1/2", "A#2/2", "A#1/2*", "A#2/2*"} << QStringList{"A", "A*"};
        QTest::newRow("repeat of the first after a new version")
            << QStringList{"A#1/1", "A#1/1*", "A#1/1"} << QStringList{"A", "A*"};
        QTest::newRow("disagreeing copies of a block: not written")
            << QStringList{"A#2/3%", "A#1/3", "A#2/3", "A#3/3"} << QStringList{};
        QTest::newRow("disagreeing copy after the good one: not written")
            << QStringList{"A#1/3", "A#2/3", "A#2/3%", "A#3/3"} << QStringList{};
        QTest::newRow("disagreement, then the repeat transmission whole")
            << QStringList{"A#2/3%", "A#1/3", "A#2/3", "A#3/3", "A#1/3", "A#2/3", "A#3/3"}
            << QStringList{"A"};
        QTest::newRow("filler dropped") << QStringList{"FILLFILE#1/1"} << QStringList{};
    }
    void assemble()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, completed);
        FileAssembler assembler;
        qint64 now = 0;
        QStringList done;
        for (const QString& step : steps) {
            if (step.startsWith(QLatin1Char('+'))) {
                now += step.mid(1).toLongLong() * 1000;
                assembler.evict(now);
                continue;
            }
            const QString date =
                step.contains(QLatin1Char('@')) ? step.section(QLatin1Char('@'), 1) : kDate;
            const QString blockText = step.section(QLatin1Char('@'), 0, 0);
            const QString name = blockText.section(QLatin1Char('#'), 0, 0) + QStringLiteral(".TXT");
            const int number =
                blockText.section(QLatin1Char('#'), 1).section(QLatin1Char('/'), 0, 0).toInt();
            const int total =
                blockText.section(QLatin1Char('/'), 1).remove(QRegularExpression("[!*%]")).toInt();
            const bool other = blockText.endsWith(QLatin1Char('*'));
            DecodedBlock b =
                block(name, number, total, !blockText.endsWith(QLatin1Char('!')), date);
            if (other)
                b.data[0] = '*';
            if (blockText.endsWith(QLatin1Char('%')))
                b.data = block(name, number % total + 1, total).data;
            FileAssembler::CompletedFile file;
            const auto result = assembler.add(b, now, &file);
            if (result == FileAssembler::Result::Completed) {
                QCOMPARE(file.bytes.size(), total * 1024);
                QCOMPARE(file.bytes.at(0) == '*', other);
                if (!other)
                    QCOMPARE(file.bytes, contents(name, total * 1024));
                done << name.section(QLatin1Char('.'), 0, 0) +
                            (other ? QStringLiteral("*") : QString());
            }
        }
        QCOMPARE(done, completed);
        assembler.evict(now + 3600 * 1000);
        QCOMPARE(assembler.partialCount(), 0);
        QCOMPARE(assembler.heldBytes(), qint64(0));
    }
    void trimPadding_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("lastBlockStart");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray zip = QByteArray("PK\x03\x04payload", 11) + QByteArray("PK\x05\x06", 4) +
                               QByteArray(16, '\x01') + QByteArray("\x03\x00", 2) + "abc";
        QTest::newRow("text padding") << "A.TXT" << QByteArray("text\r\r\n") + QByteArray(100, '\0')
                                      << 0 << QByteArray("text\r\r\n");
        QTest::newRow("zeros before the last block stay")
            << "A.TXT" << QByteArray(1024, '\0') + QByteArray(1024, '\0') << 1024
            << QByteArray(1024, '\0');
        QTest::newRow("zip cut after its comment")
            << "SAHOURLY.ZIS" << zip + QByteArray(50, '\0') << 0 << zip;
        QTest::newRow("zip without directory kept")
            << "B.ZIS" << QByteArray("PKxx") + QByteArray(4, '\0') << 0
            << QByteArray("PKxx") + QByteArray(4, '\0');
        QTest::newRow("image kept") << "RADUSAPN.GIF" << QByteArray("GIF89a;") + QByteArray(9, '\0')
                                    << 0 << QByteArray("GIF89a;") + QByteArray(9, '\0');
    }
    void trimPadding()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, lastBlockStart);
        QTEST(FileAssembler::trimmed(name, bytes, lastBlockStart), "expected");
    }
    void freeName_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QStringList{} << "AFDGRRMI.TXT";
        QTest::newRow("other files")
            << QStringList{"AFDGRRMI.TX", "XAFDGRRMI.TXT"} << "AFDGRRMI.TXT";
        QTest::newRow("waiting") << QStringList{"AFDGRRMI.TXT"} << "AFDGRRMI.TXT@1";
        QTest::newRow("waiting, other case") << QStringList{"afdgrrmi.txt"} << "AFDGRRMI.TXT@1";
        QTest::newRow("after the highest")
            << QStringList{"AFDGRRMI.TXT", "AFDGRRMI.TXT@3"} << "AFDGRRMI.TXT@4";
        QTest::newRow("only a version waits") << QStringList{"AFDGRRMI.TXT@1"} << "AFDGRRMI.TXT@2";
        QTest::newRow("odd suffix ignored") << QStringList{"AFDGRRMI.TXT@x"} << "AFDGRRMI.TXT";
    }
    void freeName()
    {
        QFETCH(QStringList, present);
        QTEST(DataInWriter::freeName(QStringLiteral("AFDGRRMI.TXT"), present), "expected");
    }
    void writerNeverOverwrites()
    {
        QTemporaryDir dir;
        const DataInWriter writer(dir.path() + QStringLiteral("/in"));
        for (int i = 0; i < 3; ++i) {
            const auto r = writer.write(QStringLiteral("TORGRRMI.TXT"), QByteArray::number(i));
            QVERIFY2(r.ok, qPrintable(r.error));
        }
        QDir in(dir.path() + QStringLiteral("/in"));
        QCOMPARE(in.entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"TORGRRMI.TXT", "TORGRRMI.TXT@1", "TORGRRMI.TXT@2"}));
        QCOMPARE(readBytes(in.filePath("TORGRRMI.TXT")), QByteArray("0"));
        QCOMPARE(readBytes(in.filePath("TORGRRMI.TXT@2")), QByteArray("2"));
    }
    void writerReportsUnusableDirectory()
    {
        QTemporaryDir dir;
        QFile blocker(dir.filePath(QStringLiteral("in")));
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the directory should be
        blocker.close();
        const auto r = DataInWriter(blocker.fileName()).write(QStringLiteral("A.TXT"), "x");
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains(blocker.fileName()));
    }
    // The final name appears only through a move, which a directory watch
    // reports as complete at once (a link or a create would look half-written).
    void writerArrivalIsReportedAsAMove()
    {
        QTemporaryDir dir;
        const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(fd >= 0);
        const auto closeFd = qScopeGuard([fd] { ::close(fd); });
        QVERIFY(::inotify_add_watch(fd, QFile::encodeName(dir.path()).constData(),
                                    IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE) >= 0);
        const DataInWriter writer(dir.path());
        for (int i = 0; i < 2; ++i)
            QVERIFY(writer.write(QStringLiteral("TORGRRMI.TXT"), QByteArray::number(i)).ok);
        QHash<QString, quint32> masks;
        alignas(inotify_event) char buffer[16384];
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0)
                    masks[QFile::decodeName(event->name)] |= event->mask;
                p += sizeof(inotify_event) + event->len;
            }
        }
        QCOMPARE(masks.value(QStringLiteral("TORGRRMI.TXT")), quint32(IN_MOVED_TO));
        QCOMPARE(masks.value(QStringLiteral("TORGRRMI.TXT@1")), quint32(IN_MOVED_TO));
    }
    // Thousands of files waiting in Data-In: the next free NAME@n is found
    // without reading the whole directory for every product.
    void writerDoesNotListDataInPerProduct()
    {
        QTemporaryDir dir;
        for (int i = 0; i < 500; ++i) {
            QFile f(dir.filePath(QStringLiteral("W%1.TXT").arg(i)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QFile(dir.filePath(QStringLiteral("B.TXT@3"))).open(QIODevice::WriteOnly);
        const DataInWriter writer(dir.path());
        for (int i = 0; i < 100; ++i)
            QVERIFY(writer.write(QStringLiteral("P%1.TXT").arg(i % 40), "x").ok);
        QVERIFY(writer.write(QStringLiteral("B.TXT"), "b").ok);
        QVERIFY2(writer.directoryListings() <= 1,
                 qPrintable(QString::number(writer.directoryListings())));
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("P0.TXT@2"))));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("P0.TXT@3"))));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("B.TXT@4"))), QByteArray("b"));
        // versions taken by the program meanwhile: the next one is a plain name again,
        // one still waiting keeps the order
        for (const QString& n : {"P0.TXT", "P0.TXT@1", "P0.TXT@2", "P1.TXT", "P1.TXT@1"})
            QVERIFY(QFile::remove(dir.filePath(n)));
        QVERIFY(writer.write(QStringLiteral("P0.TXT"), "y").ok);
        QVERIFY(writer.write(QStringLiteral("P1.TXT"), "z").ok);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("P0.TXT"))), QByteArray("y"));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("P1.TXT@3"))), QByteArray("z"));
        // a name written by another writer meanwhile is never overwritten
        QFile(dir.filePath(QStringLiteral("P5.TXT@3"))).open(QIODevice::WriteOnly);
        QVERIFY(writer.write(QStringLiteral("P5.TXT"), "v").ok);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("P5.TXT@3"))), QByteArray());
    }
    // A hostile server opening many large files and never finishing them.
    void heldBytesOfIncompleteFilesAreBounded()
    {
        FileAssembler assembler;
        DecodedBlock b;
        b.data = QByteArray(PacketHeader::BlockSize, 'x');
        b.checksumOk = true;
        b.header.dateText = kDate;
        b.header.total = 2000;
        qint64 highest = 0;
        for (int n = 1; n < 1000; ++n) {
            for (int f = 0; f < 60; ++f) {
                b.header.fileName = QStringLiteral("F%1.TXT").arg(f);
                b.header.block = n;
                QCOMPARE(assembler.add(b, n, nullptr) == FileAssembler::Result::Completed, false);
                highest = std::max(highest, assembler.heldBytes());
            }
        }
        QVERIFY2(highest <= 32 * 1024 * 1024, qPrintable(QString::number(highest)));
        // a small file completes meanwhile all the same
        b.header.fileName = QStringLiteral("SMALL.TXT");
        b.header.total = 1;
        b.header.block = 1;
        QCOMPARE(assembler.add(b, 2000, nullptr), FileAssembler::Result::Completed);
    }
    void pendingWritesSurviveShutdown_data()
    {
        QTest::addColumn<bool>("spillUsable");
        QTest::newRow("saved in the spill directory") << true;
        QTest::newRow("no spill directory: reported lost") << false;
    }
    // Files waiting for a retry when the engine stops are not dropped silently.
    void pendingWritesSurviveShutdown()
    {
        QFETCH(bool, spillUsable);
        QTemporaryDir dir;
        const QString dataIn = dir.filePath(QStringLiteral("in"));
        QFile blocker(dataIn);
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where Data-In should be
        blocker.close();
        const QString spill =
            dir.filePath(spillUsable ? QStringLiteral("spill") : QStringLiteral("in/x"));
        QStringList log;
        const QByteArray product = contents(QStringLiteral("TORGRRMI"), 1500);
        {
            IngestPipeline pipeline(false, dataIn);
            pipeline.setSpillDirectory(spill);
            pipeline.setRetryInterval(60 * 1000);
            connect(&pipeline, &IngestPipeline::logMessage, this,
                    [&](const QString& t) { log << t; });
            for (const QByteArray& packet : PacketEncoder::filePackets(
                     QStringLiteral("TORGRRMI.TXT"), product, kDate, PacketEncoder::Form::Plain))
                pipeline.feed(packet);
            QCOMPARE(pipeline.pendingWrites(), 1);
        }
        if (spillUsable)
            QCOMPARE(readBytes(spill + QStringLiteral("/TORGRRMI.TXT")), product);
        else
            QCOMPARE(log.filter(QStringLiteral("LOST TORGRRMI.TXT")).size(), 1);
    }
    // A file written before a restart and sent again afterwards is not written twice.
    void repeatsDroppedAcrossRestart()
    {
        QTemporaryDir dir;
        const QString dataIn = dir.filePath(QStringLiteral("in"));
        const QString record = dir.filePath(QStringLiteral("recent.txt"));
        const QByteArray product = contents(QStringLiteral("TORGRRMI"), 1500);
        QByteArray stream;
        for (const QByteArray& packet : PacketEncoder::filePackets(
                 QStringLiteral("TORGRRMI.TXT"), product, kDate, PacketEncoder::Form::Plain))
            stream += packet;
        for (int run = 0; run < 2; ++run) {
            IngestPipeline pipeline(false, dataIn);
            pipeline.setRecentRecord(record);
            pipeline.feed(stream);
            QCOMPARE(pipeline.counters().files, qint64(run == 0 ? 1 : 0));
            QCOMPARE(pipeline.counters().repeats, qint64(run == 0 ? 0 : 1));
        }
        QCOMPARE(QDir(dataIn).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
    // Corpus products as a server sends them: interleaved, compressed and plain,
    // some blocks corrupted and the files repeated. Each arrives once, unchanged.
    void corpusThroughPipeline()
    {
        const QDir corpus(testDataPath(QStringLiteral("corpus/products")));
        const QStringList names = corpus.entryList(QDir::Files).mid(0, 120);
        QList<QList<QByteArray>> files;
        QMap<QByteArray, int> expected;
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray bytes = readBytes(corpus.filePath(names[i]));
            expected[bytes] += 1;
            files << PacketEncoder::filePackets(
                names[i].section(QLatin1Char('@'), 0, 0), bytes,
                QStringLiteral("1/2/2026 3:04:%1 PM").arg(i % 60) + QString::number(i),
                i % 3 ? PacketEncoder::Form::Compressed : PacketEncoder::Form::Plain);
        }
        QByteArray stream;
        for (int pass = 0; pass < 2; ++pass) {
            for (int round = 0;; ++round) {
                bool any = false;
                for (int f = 0; f < files.size(); ++f) {
                    if (round >= files[f].size())
                        continue;
                    any = true;
                    const bool spoil = pass == 0 && f % 5 == 0 && round == files[f].size() - 1;
                    stream += spoil ? corrupted(files[f][round], 6 + 80 + 10) : files[f][round];
                }
                if (!any)
                    break;
            }
        }
        QTemporaryDir dir;
        IngestPipeline pipeline(true, dir.path());
        const QByteArray wire = PacketEncoder::xored(stream);
        for (qsizetype i = 0; i < wire.size(); i += 1400)
            pipeline.feed(
                QByteArrayView(wire).sliced(i, std::min<qsizetype>(1400, wire.size() - i)));
        QDir out(dir.path());
        QMap<QByteArray, int> received;
        for (const QString& name : out.entryList(QDir::Files | QDir::Hidden))
            received[readBytes(out.filePath(name))] += 1;
        QCOMPARE(received.size(), expected.size());
        QVERIFY(received == expected);
        QCOMPARE(pipeline.counters().files, qint64(names.size()));
        QVERIFY(pipeline.counters().checksumErrors > 0);
        QVERIFY(pipeline.counters().repeats > 0);
    }
    void unwritableDataInIsRetriedThenSpilled_data()
    {
        QTest::addColumn<bool>("mendedAfterTwoTries");
        QTest::addColumn<int>("attempts");
        QTest::addColumn<QString>("landsIn");
        QTest::newRow("stays broken: spilled after the last attempt") << false << 6 << "spill";
        QTest::newRow("mended: written on the next attempt") << true << 3 << "in";
    }
    // A file that Data-In will not take is retried a bounded number of times,
    // each attempt reported, and then kept in the spill directory: never lost.
    void unwritableDataInIsRetriedThenSpilled()
    {
        QFETCH(bool, mendedAfterTwoTries);
        QFETCH(int, attempts);
        QFETCH(QString, landsIn);
        QTemporaryDir dir;
        const QString dataIn = dir.filePath(QStringLiteral("in"));
        QFile blocker(dataIn);
        QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where Data-In should be
        blocker.close();
        IngestPipeline pipeline(false, dataIn);
        pipeline.setSpillDirectory(dir.filePath(QStringLiteral("spill")));
        pipeline.setRetryInterval(20);
        QStringList log;
        connect(&pipeline, &IngestPipeline::logMessage, this, [&](const QString& t) {
            log << t;
            if (mendedAfterTwoTries && log.size() == 2) {
                QFile::remove(dataIn);
                QDir().mkpath(dataIn);
            }
        });
        const QByteArray product = contents(QStringLiteral("TORGRRMI"), 1500);
        for (const QByteArray& packet : PacketEncoder::filePackets(
                 QStringLiteral("TORGRRMI.TXT"), product, kDate, PacketEncoder::Form::Plain))
            pipeline.feed(packet);
        const QString target = dir.filePath(landsIn + QStringLiteral("/TORGRRMI.TXT"));
        QTRY_COMPARE(readBytes(target), product);
        QTRY_COMPARE(pipeline.pendingWrites(), 0);
        const QStringList tries = log.filter(QStringLiteral("Could not write TORGRRMI.TXT"));
        QCOMPARE(tries.size(), attempts - (mendedAfterTwoTries ? 1 : 0));
        QVERIFY(tries.last().contains(QStringLiteral("attempt %1 of 6").arg(tries.size())));
        QCOMPARE(log.filter(QStringLiteral("saved as")).size(), landsIn == "spill" ? 1 : 0);
        QCOMPARE(pipeline.counters().files, qint64(landsIn == "in" ? 1 : 0));
    }
};

QTEST_GUILESS_MAIN(TestBroadcast)
#include "tst_broadcast.moc"
