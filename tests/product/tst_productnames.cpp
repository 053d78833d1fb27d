// The names a product is filed and found by: WMO headings and AWIPS
// identifiers (every corpus product against its manifest), file names and
// product keys, and the quarantine's names for bad files (never replacing
// one already there).

#include "TestSupport.h"

#include "product/AwipsId.h"
#include "product/ProductKey.h"
#include "product/ProductName.h"
#include "product/Quarantine.h"
#include "product/WmoHeading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

class tst_productnames : public QObject
{
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<QString>("given");
        // fileName|name|category|office|state|extension|suffix
        QTest::addColumn<QString>("parts");
        QTest::newRow("text product") << "AFDGRRMI.TXT"
                                      << "AFDGRRMI.TXT|AFDGRRMI|AFD|GRR|MI|TXT|";
        QTest::newRow("second of the same name") << "afdgrrmi.txt@2"
                                                 << "AFDGRRMI.TXT|AFDGRRMI|AFD|GRR|MI|TXT|2";
        QTest::newRow("@ inside the 8 characters") << "AFD@RRMI.TXT"
                                                   << "AFD|AFD@RRMI|AFD|@RR|||RRMI.TXT";
        QTest::newRow("image") << "RADUSAPN.GIF"
                               << "RADUSAPN.GIF|RADUSAPN|RAD|USA|PN|GIF|";
        QTest::newRow("compressed collection") << "SAHOURLY.ZIS"
                                               << "SAHOURLY.ZIS|SAHOURLY|SAH|OUR|LY|ZIS|";
        QTest::newRow("short, no extension") << "ABC"
                                             << "ABC|ABC|ABC||||";
        QTest::newRow("two @") << "A.B@1@2"
                               << "A.B|A.B@1@2|A.B|@1@||B|1@2";
    }
    void names()
    {
        QFETCH(QString, given);
        QFETCH(QString, parts);
        const auto n = ProductName::parse(given);
        QVERIFY(n);
        QCOMPARE(QStringList({n->fileName(), n->name(), n->category(), n->office(), n->state(),
                              n->extension(), n->suffix()})
                     .join(QLatin1Char('|')),
                 parts);
        QCOMPARE(n->received(), given.toUpper());
        QVERIFY(!ProductName::parse(QString()));
    }

    // Names typed by the user are joined to a store directory.
    void typedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("key") << "AFDGRR   ~KGRR~MI" << true;
        QTest::newRow("version") << "AFDGRR   ~KGRR~MI.2" << true;
        QTest::newRow("wildcards") << "AFD???*" << true;
        QTest::newRow("image") << "RADUSAPN-12051507.GIF" << false; // "-" is not allowed
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("path") << "../etc/passwd" << false;
        QTest::newRow("lower case") << "afdgrr" << false;
        QTest::newRow("empty") << "" << false;
    }
    void typedNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(ProductName::isValid(name), valid);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("text");
        // identifier|station|state|version|category|office; empty: refused
        QTest::addColumn<QString>("parts");
        QTest::newRow("key") << "AFDGRR   ~KGRR~MI"
                             << "AFDGRR|KGRR|MI|0|AFD|GRR";
        QTest::newRow("nine characters") << "FEEDBACK1~KWBC~US"
                                         << "FEEDBACK1|KWBC|US|0|FEE|DBA";
        QTest::newRow("older version") << "AFDGRR   ~KGRR~MI.3"
                                       << "AFDGRR|KGRR|MI|3|AFD|GRR";
        QTest::newRow("version 12") << "AFDGRR   ~KGRR~MI.12"
                                    << "AFDGRR|KGRR|MI|12|AFD|GRR";
        QTest::newRow("no station") << "AFDGRR   ~~MI"
                                    << "AFDGRR||MI|0|AFD|GRR";
        QTest::newRow("one-letter state, version") << "ABCDEFG  ~KGRR~G.1"
                                                   << "ABCDEFG|KGRR|G|1|ABC|DEF";
        QTest::newRow("state ending in a dot") << "ABCDEFG. ~KGRR~G."
                                               << "ABCDEFG.|KGRR|G.|0|ABC|DEF";
        QTest::newRow("state ending in a dot, version") << "ABCDEFG. ~KGRR~G..2"
                                                        << "ABCDEFG.|KGRR|G.|2|ABC|DEF";
        QTest::newRow("blank inside a derived identifier") << "AB CD.TX ~KGRR~.T"
                                                           << "AB CD.TX|KGRR|.T|0|AB |CD.";
        QTest::newRow("version 0") << "AFDGRR   ~KGRR~MI.0"
                                   << "";
        QTest::newRow("version with sign") << "AFDGRR   ~KGRR~MI.+1"
                                           << "";
        QTest::newRow("tilde moved") << "AFDGRR  ~KGRR~MI"
                                     << "";
        QTest::newRow("leading blank") << " AFDGRR  ~KGRR~MI"
                                       << "";
        QTest::newRow("one tilde") << "AFDGRR   ~KGRRMI"
                                   << "";
        QTest::newRow("three tildes") << "AFDGRR   ~KGRR~MI~X"
                                      << "";
        QTest::newRow("path separator") << "AFDGRR   ~../~MI"
                                        << "";
        QTest::newRow("control character") << "AFDGRR   ~KG\nR~MI"
                                           << "";
        QTest::newRow("image name") << "RADUSAPN-12051507.GIF"
                                    << "";
    }
    void keys()
    {
        QFETCH(QString, text);
        QFETCH(QString, parts);
        const auto key = ProductKey::parse(text);
        QCOMPARE(key.has_value(), !parts.isEmpty());
        if (!key)
            return;
        QCOMPARE(QStringList({key->identifier(), key->station(), key->state(),
                              QString::number(key->version()), key->category(), key->office()})
                     .join(QLatin1Char('|')),
                 parts);
        // Made from its parts, the key is the stored name again.
        const ProductKey made = ProductKey::make(key->identifier(), key->station(), key->state());
        QCOMPARE(made.fileName(key->version()), text);
    }

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

    void quarantineNames_data()
    {
        QTest::addColumn<QStringList>("present"); // already in track/bad ("@" = dangling link)
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("used");
        QTest::newRow("free") << QStringList() << "RADUSAPN-12051507.GIF"
                              << "RADUSAPN-12051507.GIF";
        QTest::newRow("taken") << QStringList{"X.GIF"} << "X.GIF"
                               << "X.GIF.1";
        QTest::newRow("taken twice") << QStringList{"X.GIF", "X.GIF.1"} << "X.GIF"
                                     << "X.GIF.2";
        QTest::newRow("gap is not reused before the first number")
            << QStringList{"X.GIF", "X.GIF.2"} << "X.GIF"
            << "X.GIF.1";
        QTest::newRow("a dangling link holds its name") << QStringList{"@X.GIF"} << "X.GIF"
                                                        << "X.GIF.1";
        QTest::newRow("received product with suffix")
            << QStringList{"AFDGRRMI.TXT@2"} << "AFDGRRMI.TXT@2"
            << "AFDGRRMI.TXT@2.1";
        QTest::newRow("control character") << QStringList() << "AFD\x01GRR"
                                           << "AFD_GRR";
        QTest::newRow("dot dot") << QStringList() << ".."
                                 << "unnamed..";
        QTest::newRow("long name cut")
            << QStringList() << QString(300, QLatin1Char('G')) << QString(200, QLatin1Char('G'));
    }
    void quarantineNames()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, name);
        QFETCH(QString, used);
        TestHome home;
        const QString programDir = home.path() + QLatin1Char('/');
        Quarantine q(programDir);
        QCOMPARE(q.directory(), programDir + QStringLiteral("track/bad/"));
        QVERIFY(QDir().mkpath(q.directory()));
        for (const QString& entry : present) {
            if (entry.startsWith(QLatin1Char('@')))
                QVERIFY(QFile::link(programDir + "missing", q.directory() + entry.mid(1)));
            else
                home.write(QStringLiteral("track/bad/") + entry, entry.toLatin1());
        }
        const QString source = home.write(QStringLiteral("in/file"), "product");
        QCOMPARE(q.take(source, name), used);
        QVERIFY(q.error().isEmpty());
        QCOMPARE(readBytes(q.directory() + used), QByteArray("product"));
        QVERIFY(!QFileInfo::exists(source));
        for (const QString& entry : present) {
            if (!entry.startsWith(QLatin1Char('@')))
                QCOMPARE(readBytes(q.directory() + entry), entry.toLatin1());
            else
                QVERIFY(QFileInfo(q.directory() + entry.mid(1)).isSymLink());
        }
    }

    // A directory named without its final "/" (the image viewer's setting),
    // or none at all, and a file that is gone.
    void directories_data()
    {
        QTest::addColumn<QString>("directory"); // below the home; "-" for none
        QTest::addColumn<bool>("sourceThere");
        QTest::addColumn<bool>("taken");
        QTest::newRow("with /") << "bad/" << true << true;
        QTest::newRow("without /") << "bad" << true << true;
        QTest::newRow("not given: the file stays") << "-" << true << false;
        QTest::newRow("source gone") << "bad/" << false << false;
    }
    void directories()
    {
        QFETCH(QString, directory);
        QFETCH(bool, sourceThere);
        QFETCH(bool, taken);
        TestHome home;
        const QString source = home.file(QStringLiteral("X.GIF"));
        if (sourceThere)
            home.write(QStringLiteral("X.GIF"), "picture");
        Quarantine q = Quarantine::inDirectory(
            directory == QLatin1String("-") ? QString() : home.file(directory));
        const QString used = q.take(source, QStringLiteral("X.GIF"));
        QCOMPARE(!used.isEmpty(), taken);
        QCOMPARE(q.error().isEmpty(), taken);
        if (taken)
            QCOMPARE(readBytes(home.file(QStringLiteral("bad/X.GIF"))), QByteArray("picture"));
        else
            QCOMPARE(QFileInfo::exists(source), sourceThere);
    }
};

QTEST_GUILESS_MAIN(tst_productnames)
#include "tst_productnames.moc"
