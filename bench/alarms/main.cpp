// Alarm benchmark: one large text product matched by several alarm
// definitions, run through the program's alarm dispatcher and alarm
// component (as MainState wires them). Prints the time of the round and the
// peak memory of the process. Then a broad definition ("??????") alarms a
// run of distinct small products within the hour, so that its memory of
// alarmed texts fills up: prints the time per product and the state size.
//
//   bench_alarms [MB] [definitions] [products]   (default 50 MB, 4, 6000)

#include "BenchFigures.h"
#include "CountingPrompter.h"
#include "NoPrinter.h"
#include "alarms/AlarmComponent.h"
#include "alarms/AlarmDispatcher.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/TextPrinter.h"
#include "product/FiledProduct.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

FiledProduct textProduct(const Settings& settings, const QString& identifier, const QString& key)
{
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::Text;
    filed.storedName = key;
    filed.path = settings.TextPath + key;
    filed.key = key;
    filed.identifier = identifier;
    return filed;
}

// Products of distinct identifiers, each alarmed once by one "??????"
// definition; returns the milliseconds of the run.
qint64 broadDefinition(const Settings& settings, const QString& programDir, int products,
                       qsizetype* stateSize)
{
    ReferenceTables tables;
    AlarmFile alarms;
    AlarmDefinition d;
    d.pattern = QStringLiteral("??????");
    d.list = 1;
    alarms.definitions() << d;
    DisplayState display;
    SystemClock clock;
    CountingPrompter prompter;
    NoPrinter printer;
    AlarmComponent component(programDir, tables, clock, printer);
    AlarmDispatcher dispatcher(alarms, settings, display, clock, prompter, component);
    QStringList keys;
    for (int i = 0; i < products; ++i) {
        const QString id = QStringLiteral("A%1").arg(i, 5, 36, QLatin1Char('0')).toUpper();
        const QString key = id + QStringLiteral("   ~KGRR~MI");
        QFile file(settings.TextPath + key);
        if (file.open(QIODevice::WriteOnly))
            file.write("000 \r\r\nFXUS63 KGRR 071200\r\r\n" + id.toLatin1() + "\r\r\n");
        keys << key;
    }
    QElapsedTimer timer;
    timer.start();
    for (const QString& key : keys)
        dispatcher.runAlarms(textProduct(settings, key.left(6), key));
    const qint64 ms = timer.elapsed();
    *stateSize = alarms.definitions().first().state.size();
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int megabytes = args.size() > 1 ? args.at(1).toInt() : 50;
    const int definitions = args.size() > 2 ? args.at(2).toInt() : 4;
    const int products = args.size() > 3 ? args.at(3).toInt() : 6000;
    QTextStream out(stdout);

    QTemporaryDir dir;
    Settings settings;
    settings.TextPath = dir.path() + QStringLiteral("/text/");
    QDir().mkpath(settings.TextPath);
    const QString programDir = dir.path() + QStringLiteral("/prog/");
    QDir().mkpath(programDir);

    // A tornado warning followed by megabytes of further segments.
    const QString key = QStringLiteral("TORDMX   ~KDMX~IA");
    QFile product(settings.TextPath + key);
    if (!product.open(QIODevice::WriteOnly))
        return 1;
    QFile head(QStringLiteral(VANTOREL_TEST_DATA_DIR "/ugc/TORDMXIA.TXT"));
    if (head.open(QIODevice::ReadOnly))
        product.write(head.readAll());
    const QByteArray line = QByteArray(78, 'X') + "\r\r\n";
    while (product.size() < qint64(megabytes) * 1024 * 1024)
        product.write(line);
    product.close();

    ReferenceTables tables;
    AlarmFile alarms;
    for (int i = 0; i < definitions; ++i) {
        AlarmDefinition d;
        d.pattern = QStringLiteral("TORDMX");
        d.display = d.list = 1;
        d.zone = i % 2 ? QStringLiteral("IAC117") : QString();
        alarms.definitions() << d;
    }
    DisplayState display;
    SystemClock clock;
    CountingPrompter prompter;
    NoPrinter printer;
    AlarmComponent component(programDir, tables, clock, printer);
    AlarmDispatcher dispatcher(alarms, settings, display, clock, prompter, component);
    int listed = 0;
    QObject::connect(&component, &AlarmComponent::AlarmList, &component, [&listed] { ++listed; });

    const long before = BenchFigures::peakRssKb();
    QElapsedTimer timer;
    timer.start();
    dispatcher.runAlarms(textProduct(settings, QStringLiteral("TORDMX"), key));
    const qint64 ms = timer.elapsed();
    out << "product " << megabytes << " MB, " << definitions << " matching definitions, " << listed
        << " alarmed\n"
        << "round: " << ms << " ms, peak memory " << BenchFigures::peakRssKb() / 1024
        << " MB (before " << before / 1024 << " MB)\n";
    qsizetype stateSize = 0;
    const qint64 broadMs = broadDefinition(settings, programDir, products, &stateSize);
    out << "broad definition: " << products << " products in " << broadMs << " ms ("
        << QString::number(1000.0 * double(broadMs) / qMax(products, 1), 'f', 1)
        << " us each), state text " << stateSize << " characters\n";
    return listed == definitions ? 0 : 2;
}
