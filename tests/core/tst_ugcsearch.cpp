#include "TestSupport.h"
#include "app/MainState.h"
#include "core/UgcSearch.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QTest>

namespace {

QStringList productFile(const QString& name)
{
    return UgcSearch::productLines(TextFile::readAll(testDataPath(QStringLiteral("ugc/")) + name));
}

// A text directory and receipt directory in a private home.
struct Store
{
    TestHome home;
    Settings settings;
    Store()
    {
        settings.TextPath = home.path() + QStringLiteral("/text/");
        settings.TrackPath = home.path() + QStringLiteral("/track/");
    }
};

} // namespace

class TestUgcSearch : public QObject
{
    Q_OBJECT
private slots:
    void realProducts_data();
    void realProducts();
    void codeGroups_data();
    void codeGroups();
    void segmentRunsToDollarsOrEnd();
    void findUgcThroughReceipt();
    void findUgcRejectsMissingAndHostileNames();
};

void TestUgcSearch::realProducts_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("firstLine"); // empty: no segment
    const QString wswFirst = QStringLiteral("MIZ051-052-056>059-064>067-071>074-030430-");
    const QString wswSecond = QStringLiteral("MIZ037>040-043>046-050-030430-");
    QTest::newRow("zone inside a range") << "WSWGRRMI.TXT"
                                         << "MIZ058" << wswFirst;
    QTest::newRow("zone of the second segment") << "WSWGRRMI.TXT"
                                                << "MIZ050" << wswSecond;
    QTest::newRow("zone of no segment") << "WSWGRRMI.TXT"
                                        << "MIZ047" << QString();
    QTest::newRow("expiry time is no range") << "WSWGRRMI.TXT"
                                             << "MIZ100" << QString();
    QTest::newRow("second line of a group")
        << "HWODMXIA.TXT"
        << "IAZ095"
        << "IAZ004>007-015>017-023>028-033>039-044>050-057>062-070>075-";
    QTest::newRow("gap between ranges") << "HWODMXIA.TXT"
                                        << "IAZ090" << QString();
    QTest::newRow("county on the continuation line")
        << "WCNPHIDE.TXT"
        << "NJC041"
        << "DEC001-003-005-MDC011-015-029-035-041-NJC001-005-007-009-011-015-";
    QTest::newRow("another state's counties are not this state's") << "WCNPHIDE.TXT"
                                                                   << "NJC089" << QString();
    QTest::newRow("state list starting mid-line")
        << "WCNPHIDE.TXT"
        << "PAC091"
        << "019-021-023-025-027-029-033-035-037-041-PAC011-017-025-029-045-";
    QTest::newRow("first state's list ends at the next state") << "WCNPHIDE.TXT"
                                                               << "DEC011" << QString();
    QTest::newRow("marine zone range") << "WCNPHIDE.TXT"
                                       << "ANZ455"
                                       << "ANZ430-431-450>455-150000-";
    QTest::newRow("after the range") << "WCNPHIDE.TXT"
                                     << "ANZ456" << QString();
    QTest::newRow("county before another state") << "SVRLMKIN.TXT"
                                                 << "INC019"
                                                 << "INC019-KYC103-185-223-052215-";
    QTest::newRow("the other state's numbers") << "SVRLMKIN.TXT"
                                               << "INC185" << QString();
    QTest::newRow("list after another state") << "SVRLMKIN.TXT"
                                              << "KYC223"
                                              << "INC019-KYC103-185-223-052215-";
    QTest::newRow("product without the code") << "TORDMXIA.TXT"
                                              << "MIC117" << QString();
    QTest::newRow("text word is no code list") << "WSWGRRMI.TXT"
                                               << "MIC001" << QString();
    QTest::newRow("malformed code") << "WSWGRRMI.TXT"
                                    << "MIZ05" << QString();
    QTest::newRow("text word made of letters and ALL") << "../corpus/products/WSWGRRMI.TXT@5"
                                                       << "LOC001" << QString();
    QTest::newRow("headline group without its own $$") << "../corpus/products/FLSRAHNC.TXT"
                                                       << "NCC101"
                                                       << "NCC101-260214-";
}

void TestUgcSearch::realProducts()
{
    QFETCH(QString, file);
    QFETCH(QString, code);
    QFETCH(QString, firstLine);
    QString segment;
    const bool found = UgcSearch::findInLines(code, productFile(file), &segment);
    QCOMPARE(found, !firstLine.isEmpty());
    if (!found)
        return;
    const QStringList lines = segment.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.first(), firstLine);
    QCOMPARE(lines.value(lines.size() - 2), QStringLiteral("$$"));
    QVERIFY(segment.endsWith(QStringLiteral("$$\r\n")));
    QVERIFY(!segment.contains(QStringLiteral("\r\r")));
}

void TestUgcSearch::codeGroups_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("found");
    const QStringList whole = {"HEAD", "MIZALL-051200-", "TEXT", "$$"};
    QTest::newRow("ALL means every zone") << whole << "MIZ099" << true;
    QTest::newRow("ALL of another kind") << whole << "MIC099" << false;
    QTest::newRow("000 means the whole state")
        << QStringList{"MIC000-051200-", "$$"} << "MIC123" << true;
    QTest::newRow("empty lines inside a group")
        << QStringList{"MIZ001-002-", "", "  ", "003-051200-", "$$"} << "MIZ003" << true;
    QTest::newRow("group cut by the end of the product")
        << QStringList{"MIZ001-002-"} << "MIZ001" << false;
    QTest::newRow("reversed range is empty")
        << QStringList{"MIZ009>001-051200-", "$$"} << "MIZ005" << false;
    QTest::newRow("state name in the text")
        << QStringList{"SOUTHWEST MICHIGAN-", "081-091-051200-", "$$"} << "MIC081" << false;
}

void TestUgcSearch::codeGroups()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, code);
    QFETCH(bool, found);
    QString segment;
    QCOMPARE(UgcSearch::findInLines(code, lines, &segment), found);
}

void TestUgcSearch::segmentRunsToDollarsOrEnd()
{
    QString segment;
    QVERIFY(UgcSearch::findInLines(
        QStringLiteral("MIZ002"),
        {"HEAD", "MIZ001-", "002-051200-", "", "WARNING", "$$", "MIZ003-051200-", "OTHER"},
        &segment));
    QCOMPARE(segment, QStringLiteral("MIZ001-\r\n002-051200-\r\n\r\nWARNING\r\n$$\r\n"));
    QVERIFY(UgcSearch::findInLines(QStringLiteral("MIZ003"),
                                   {"MIZ001-051200-", "$$", "MIZ003-051200-", "OTHER"}, &segment));
    QCOMPARE(segment, QStringLiteral("MIZ003-051200-\r\nOTHER\r\n"));
}

void TestUgcSearch::findUgcThroughReceipt()
{
    Store f;
    TestHome& home = f.home;
    const QString key = QStringLiteral("WSWGRR   ~KGRR~MI");
    home.write(QStringLiteral("text/") + key,
               readBytes(testDataPath(QStringLiteral("ugc/WSWGRRMI.TXT"))));
    home.write(QStringLiteral("track/emwin/WSWGRRMI.TXT"), key.toLatin1() + "\r\n");

    UgcSearch search(f.settings);
    QCOMPARE(search.FindUGC(QStringLiteral("MIZ050"), QStringLiteral("WSWGRRMI")), quint8(1));
    QVERIFY(
        search.SegmentText().startsWith(QStringLiteral("MIZ037>040-043>046-050-030430-\r\n/O.")));
    QVERIFY(search.SegmentText().endsWith(QStringLiteral("$$\r\n")));
    QCOMPARE(search.FindUGC(QStringLiteral("MIZ058"), key), quint8(1));
    QVERIFY(search.SegmentText().startsWith(QStringLiteral("MIZ051-")));
    QCOMPARE(search.FindUGC(QStringLiteral("MIZ001"), key), quint8(0));
    QVERIFY(search.SegmentText().isEmpty());
}

void TestUgcSearch::findUgcRejectsMissingAndHostileNames()
{
    Store f;
    TestHome& home = f.home;
    home.write(QStringLiteral("secret"), "MIZ050-051200-\r\n");
    // A receipt naming a path outside the text directory is not followed.
    home.write(QStringLiteral("track/emwin/EVILNAME.TXT"), "../secret\r\n");
    UgcSearch search(f.settings);
    for (const QString& product : {QStringLiteral("NONEXIST"), QStringLiteral("../secret"),
                                   QStringLiteral("EVILNAME"), QString()}) {
        try {
            search.FindUGC(QStringLiteral("MIZ050"), product);
            QFAIL(qPrintable(QStringLiteral("no error for ") + product));
        } catch (const RuntimeError& error) {
            QCOMPARE(error.number(), ErrorNumber::FileNotFound);
        }
    }
}

QTEST_GUILESS_MAIN(TestUgcSearch)
#include "tst_ugcsearch.moc"
