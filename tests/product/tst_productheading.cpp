// WMO headings and AWIPS identifiers: every product of the corpus against its
// manifest, and hand-made lines for the forms a heading must not take.

#include "TestSupport.h"

#include "product/AwipsId.h"
#include "product/WmoHeading.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QtTest>

namespace {
// The heading and identifier lines of a corpus file: the first two lines with
// text once the start-of-heading and sequence-number lines are left out.
QStringList headingLines(const QByteArray& bytes)
{
    static const QRegularExpression framing(QStringLiteral("^(\\x01|\\d{3} ?)$"));
    QStringList found;
    const QStringList lines =
        QString::fromLatin1(bytes.left(512)).split(QRegularExpression(QStringLiteral("[\r\n]+")));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || framing.match(line).hasMatch())
            continue;
        found << line.trimmed();
        if (found.size() == 2)
            break;
    }
    return found;
}
} // namespace

class tst_productheading : public QObject
{
    Q_OBJECT
private slots:
    void corpus()
    {
        QFile manifest(testDataPath(QStringLiteral("corpus/MANIFEST.json")));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        const QJsonArray entries = QJsonDocument::fromJson(manifest.readAll()).array();
        QVERIFY(entries.size() > 500);
        for (const QJsonValue& value : entries) {
            const QJsonObject entry = value.toObject();
            const QString file = entry.value(QStringLiteral("file")).toString();
            const QStringList lines =
                headingLines(readBytes(testDataPath(QStringLiteral("corpus/products/") + file)));
            QVERIFY2(lines.size() == 2, qPrintable(file));
            const auto wmo = WmoHeading::parse(lines.at(0));
            QVERIFY2(wmo, qPrintable(file + QStringLiteral(": ") + lines.at(0)));
            QCOMPARE(wmo->text(), entry.value(QStringLiteral("wmo")).toString());
            const auto awips = AwipsId::parse(lines.at(1));
            QVERIFY2(awips, qPrintable(file + QStringLiteral(": ") + lines.at(1)));
            QCOMPARE(awips->text(), entry.value(QStringLiteral("awips")).toString());
            // The product file name starts with the identifier's category.
            QCOMPARE(file.left(3), awips->category());
        }
    }

    void headings_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("fields"); // ttaaii|station|time|indicator|area; empty: refused
        QTest::newRow("plain") << "FXUS63 KGRR 051200"
                               << "FXUS63|KGRR|051200||US";
        QTest::newRow("corrected") << "WUUS53 KDMX 051744 CCA"
                                   << "WUUS53|KDMX|051744|CCA|US";
        QTest::newRow("delayed") << "SRUS53 KDMX 010050 RRA"
                                 << "SRUS53|KDMX|010050|RRA|US";
        QTest::newRow("day 31, 23:59") << "NOUS42 KWNO 312359"
                                       << "NOUS42|KWNO|312359||US";
        QTest::newRow("day 00") << "FXUS63 KGRR 001200"
                                << "";
        QTest::newRow("hour 24") << "FXUS63 KGRR 052400"
                                 << "";
        QTest::newRow("minute 60") << "FXUS63 KGRR 051260"
                                   << "";
        QTest::newRow("two fields") << "FXUS63 KGRR"
                                    << "";
        QTest::newRow("two blanks") << "FXUS63  KGRR 051200"
                                    << "";
        QTest::newRow("leading blank") << " FXUS63 KGRR 051200"
                                       << "";
        QTest::newRow("lower case") << "fxus63 kgrr 051200"
                                    << "";
        QTest::newRow("trailing text") << "FXUS63 KGRR 051200 AAAAAAA"
                                       << "";
        QTest::newRow("5-character station") << "FXUS63 KGRRX 051200"
                                             << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void headings()
    {
        QFETCH(QString, line);
        QFETCH(QString, fields);
        const auto h = WmoHeading::parse(line);
        QCOMPARE(h.has_value(), !fields.isEmpty());
        if (!h)
            return;
        QCOMPARE(QStringList({h->ttaaii(), h->station(), h->time(), h->indicator(), h->areaCode()})
                     .join(QLatin1Char('|')),
                 fields);
        QCOMPARE(h->hourMinute(), h->time().right(4));
        QCOMPARE(h->text(), line);
    }

    void identifiers_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("parts"); // category|location; empty: refused
        QTest::newRow("office") << "AFDGRR"
                                << "AFD|GRR";
        QTest::newRow("blanks around") << "  TORDMX  "
                                       << "TOR|DMX";
        QTest::newRow("one-letter location") << "SWOM"
                                             << "SWO|M";
        QTest::newRow("digits") << "MTRSP8"
                                << "MTR|SP8";
        QTest::newRow("three characters") << "AFD"
                                          << "";
        QTest::newRow("seven characters") << "AFDGRRX"
                                          << "";
        QTest::newRow("blank inside") << "AFD GR"
                                      << "";
        QTest::newRow("dot") << "AF.GRR"
                             << "";
        QTest::newRow("CREX marker") << "CREX++"
                                     << "";
        QTest::newRow("bulletin start") << "&ZCZC WRKAFD"
                                        << "";
    }
    void identifiers()
    {
        QFETCH(QString, line);
        QFETCH(QString, parts);
        const auto id = AwipsId::parse(line);
        QCOMPARE(id.has_value(), !parts.isEmpty());
        if (id)
            QCOMPARE(id->category() + QLatin1Char('|') + id->location(), parts);
    }
};

QTEST_GUILESS_MAIN(tst_productheading)
#include "tst_productheading.moc"
