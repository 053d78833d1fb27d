#include "EngineOptionParser.h"

#include <QTest>

// The command line every engine shares: its options beside the engine's own,
// the messages for a bad line, and the help layout.
class TestEngineOptionParser : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void helpText();
};

namespace {
EngineOptionParser parser()
{
    return EngineOptionParser(
        QStringLiteral("TestEngine"), QStringLiteral("A test engine."),
        {{QStringLiteral("speed"), QStringLiteral("Speed."), QStringLiteral("N")},
         {QStringLiteral("quiet"), QStringLiteral("Quiet.")}});
}
} // namespace

void TestEngineOptionParser::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("dataIn");
    QTest::addColumn<bool>("headless");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<int>("speed");
    QTest::addColumn<QString>("error"); // the start of the message; empty: none

    const QString none;
    QTest::newRow("nothing") << QStringList{"e"} << none << false << false << false << 0 << none;
    QTest::newRow("common and own")
        << QStringList{"e", "--data-in", "/in", "--headless", "--speed", "7", "--quiet"} << "/in"
        << true << false << false << 7 << none;
    QTest::newRow("short help") << QStringList{"e", "-h"} << none << false << true << false << 0
                                << none;
    QTest::newRow("long version") << QStringList{"e", "--version"} << none << false << false << true
                                  << 0 << none;
    QTest::newRow("unknown option") << QStringList{"e", "--fast"} << none << false << false << false
                                    << 0 << "Unknown option 'fast'";
    QTest::newRow("value missing") << QStringList{"e", "--data-in"} << none << false << false
                                   << false << 0 << "Missing value after '--data-in'";
    QTest::newRow("stray argument") << QStringList{"e", "--headless", "COM1"} << none << true
                                    << false << false << 0 << "unexpected argument \"COM1\"";
    QTest::newRow("number not a number") << QStringList{"e", "--speed", "fast"} << none << false
                                         << false << false << 0 << "--speed needs";
    QTest::newRow("number out of range") << QStringList{"e", "--speed", "100"} << none << false
                                         << false << false << 0 << "--speed needs";
}

void TestEngineOptionParser::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    EngineOptionParser p = parser();
    CommonEngineOptions o;
    int speed = 0;
    if (p.parse(arguments, o))
        p.readNumber(QStringLiteral("speed"), 1, 99, &speed, QStringLiteral("--speed needs 1-99"),
                     o);
    QVERIFY2(error.isEmpty() ? o.error.isEmpty() : o.error.startsWith(error), qPrintable(o.error));
    QTEST(o.dataIn, "dataIn");
    QTEST(o.headless, "headless");
    QTEST(o.showHelp, "help");
    QTEST(o.showVersion, "version");
    QTEST(speed, "speed");
}

// Named after the engine, not the binary that parses; the engine's own
// options come before the common ones.
void TestEngineOptionParser::helpText()
{
    const QString help = parser().helpText();
    QVERIFY2(help.startsWith(QStringLiteral("Usage: TestEngine [options]\nA test engine.\n")),
             qPrintable(help));
    qsizetype at = 0;
    for (const char* option : {"--speed <N>", "--quiet", "--data-in <DIR>", "--headless",
                               "-h, --help", "-v, --version"}) {
        const qsizetype next = help.indexOf(QLatin1String(option), at);
        QVERIFY2(next > at, option);
        at = next;
    }
}

QTEST_GUILESS_MAIN(TestEngineOptionParser)
#include "tst_engineoptionparser.moc"
