#include "TestSupport.h"
#include "ingest/ProductHeader.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
QStringList linesOf(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return ProductHeader::headLines(buffer);
}
} // namespace

class TestProductHeader : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("ttaaii");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("identifier");

        const int read = int(ProductHeader::Outcome::Read);
        QTest::newRow("heading first")
            << QByteArray("FXUS63 KGRR 051200\r\r\nAFDGRR\r\r\n\r\r\nTEXT") << read << "FXUS63"
            << "KGRR"
            << "AFDGRR";
        QTest::newRow("raw start of heading")
            << QByteArray("\x01\r\r\n732 \r\r\nWWUS75 KPSR 301756\r\r\nDSWPSR\r\r\n\r\r\nBULLETIN")
            << read << "WWUS75"
            << "KPSR"
            << "DSWPSR";
        QTest::newRow("sequence line")
            << QByteArray("000 \r\r\nFOUS64 KORN 171616\r\r\nFFGJAN\r\r\n") << read << "FOUS64"
            << "KORN"
            << "";
        QTest::newRow("sequence line with identifier")
            << QByteArray("000AFD\nFXUS63 KGRR 051200\n") << read << "FXUS63"
            << "KGRR"
            << "AFD";
        QTest::newRow("area code not listed drops identifier")
            << QByteArray("FXZZ63 KGRR 051200\nAFDGRR\n") << read << "FXZZ63"
            << "KGRR"
            << "";
        QTest::newRow("identifier with slash")
            << QByteArray("FXUS63 KGRR 051200\nAFD/GR\n") << read << "FXUS63"
            << "KGRR"
            << "";
        QTest::newRow("dot early") << QByteArray("FXUS63 KGRR 051200\nAF.GRR\n") << read << "FXUS63"
                                   << "KGRR"
                                   << "";
        QTest::newRow("TTAA00 empty, CREX++ takes it")
            << QByteArray("TTAA00 KWBC 051200\nCREX++\n") << read << ""
            << "KWBC"
            << "";
        QTest::newRow("CREX++") << QByteArray("ISUS01 KWBC 051200\nCREX++\n") << read << "ISUS01"
                                << "KWBC"
                                << "ISUS01";
        QTest::newRow("corrected, raw")
            << QByteArray("\x01\r\r\n732 \r\r\nWWUS75 KPSR 301756 CCA\r\r\nDSWPSR\r\r\n\r\r\nX")
            << read << "WWUS75"
            << "KPSR"
            << "DSWPSR";
        QTest::newRow("heading with a blank too many")
            << QByteArray("FXUS63  KGRR 051200\nAFDGRR\n") << read << "FXUS63"
            << ""
            << "AFDGRR";
        QTest::newRow("two parts") << QByteArray("FXUS63 KGRR\nAFDGRR\n") << read << "FXUS63 KGRR"
                                   << ""
                                   << "AFDGRR";
        QTest::newRow("identifier after four empty lines is not read")
            << QByteArray("FXUS63 KGRR 051200\n\n\n\n\nAFDGRR\n") << read << "FXUS63"
            << "KGRR"
            << "";
        QTest::newRow("26 characters")
            << QByteArray("  FXUS63 KGRR 051200 AAAAAAA  \nAFDGRR\n") << read << "FXUS63"
            << "KGRR"
            << "AFDGRR";
        QTest::newRow("27 characters corrupt")
            << QByteArray("FXUS63 KGRR 051200 AAAAAAAA\nAFDGRR\n")
            << int(ProductHeader::Outcome::Corrupt) << ""
            << ""
            << "";
        QTest::newRow("test message") << QByteArray("NOUS99 KWBC 051200\nTSTMSG\n")
                                      << int(ProductHeader::Outcome::TestFile) << "NOUS99"
                                      << "KWBC"
                                      << "TSTMSG";
        QTest::newRow("empty") << QByteArray() << int(ProductHeader::Outcome::Truncated) << ""
                               << ""
                               << "";
        QTest::newRow("raw cut short")
            << QByteArray("\x01\r\r\n732 \r\r\n") << int(ProductHeader::Outcome::Truncated) << ""
            << ""
            << "";
        QTest::newRow("binary") << QByteArray(300, '\xff') << int(ProductHeader::Outcome::Corrupt)
                                << ""
                                << ""
                                << "";
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, outcome);
        const ProductHeader header = ProductHeader::read(linesOf(bytes));
        QCOMPARE(int(header.outcome), outcome);
        if (header.outcome == ProductHeader::Outcome::Truncated ||
            header.outcome == ProductHeader::Outcome::Corrupt)
            return;
        QTEST(header.ttaaii, "ttaaii");
        QTEST(header.station, "station");
        QTEST(header.identifier, "identifier");
    }
    void headLinesSplitsAtEveryLineEnd()
    {
        // CR CR LF gives an empty line; a last line without an end still counts.
        QCOMPARE(linesOf("A\r\r\nB\rC\nD\r\nE"), QStringList({"A", "", "B", "C", "D", "E"}));
        QCOMPARE(linesOf("1\n2\n3\n4\n5\n6\n7\n8\n9\n").size(), ProductHeader::MaxLines);
        // Bytes are Latin-1, never decoded as UTF-8.
        QCOMPARE(linesOf("\xe9\xff\n").first(), QString::fromLatin1("\xe9\xff"));
    }
    void headLinesReadsOnlyTheHeader()
    {
        QByteArray huge(8 * 1024 * 1024, 'A');
        QBuffer buffer(&huge);
        buffer.open(QIODevice::ReadOnly);
        const QStringList lines = ProductHeader::headLines(buffer);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().size(), ProductHeader::MaxLineLength);
        QVERIFY(buffer.pos() <= ProductHeader::MaxHeaderBytes + 1);
    }
    // Every product of the corpus, in each of its three forms, yields the
    // heading and identifier its manifest gives.
    void corpusHeadings()
    {
        QFile manifest(testDataPath(QStringLiteral("corpus/MANIFEST.json")));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        const QJsonArray entries = QJsonDocument::fromJson(manifest.readAll()).array();
        QVERIFY(!entries.isEmpty());
        for (const QJsonValue& value : entries) {
            const QJsonObject entry = value.toObject();
            const QString file = entry.value(QStringLiteral("file")).toString();
            QFile product(testDataPath(QStringLiteral("corpus/products/") + file));
            QVERIFY(product.open(QIODevice::ReadOnly));
            const ProductHeader header = ProductHeader::read(ProductHeader::headLines(product));
            QVERIFY2(header.wmoHeading(), qPrintable(file));
            const QString wmo = entry.value(QStringLiteral("wmo")).toString();
            QCOMPARE(header.wmoHeading()->text(), wmo);
            QCOMPARE(header.ttaaii, wmo.left(6));
            QCOMPARE(header.station, wmo.mid(7, 4));
            QCOMPARE(header.time, wmo.mid(14, 4));
            // The identifier is dropped for areas outside the listed ones.
            if (!header.identifier.isEmpty())
                QCOMPARE(header.awipsId()->text(), entry.value(QStringLiteral("awips")).toString());
        }
    }
};

QTEST_GUILESS_MAIN(TestProductHeader)
#include "tst_productheader.moc"
