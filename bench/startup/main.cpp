// Start-up benchmark: the program's own start as main() runs it (the
// services, the main window and its start-up sequence up to "Startup
// Successful") in a fresh program directory holding the shipped full tables
// (zones, counties, stations, dictionary, menus) and 999 alarm definitions.
// Each run builds everything anew; the first run reads the tables from a
// cold program directory. Beside it, in the same run, the floor: reading the
// same files whole, without parsing them.
//
//   bench_startup [runs]     (default 10; offscreen unless a platform is set)
//   bench_startup --write-alarm-file PATH    (writes the benchmarks' alarm file)

#include "BenchAlarmFile.h"
#include "BenchFigures.h"
#include "CountingPrompter.h"
#include "app/MainState.h"
#include "app/ProgramDirectory.h"
#include "app/ui/frmMain.h"
#include "core/AlarmFile.h"
#include "ingest/DataInPoller.h"
#include "platform/Clock.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"
#include "platform/WindowControl.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {
// One start; a configured start asks nothing.
struct Run
{
    qint64 startUs = 0;
    QString status;
    int prompts = 0;
};

// A configured program directory, as a user has it after the first run.
void prepare(const QString& root, const QString& programDir, SettingsStore& store)
{
    ProgramDirectory::prepare(programDir, ProgramDirectory::shippedDataDirs());
    BenchAlarmFile::write(programDir + AlarmFile::fileName(0));
    QDir().mkpath(root + QStringLiteral("text"));
    store.write("Config", "TextPath", root + QStringLiteral("text/"));
    store.write("Config", "NetworkMode", "True");
    store.sync();
}

Run startOnce()
{
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/");
    const QString programDir = root + QStringLiteral("prog/");
    SettingsStore store(root + QStringLiteral("settings.conf"));
    prepare(root, programDir, store);

    QElapsedTimer timer;
    timer.start();
    ProcessLauncher launcher(programDir);
    NullWindowControl windows;
    CountingPrompter prompter;
    SystemClock clock;
    MainState state(programDir, {&store, &launcher, &windows, &prompter, &clock});
    frmMain window(state);
    window.Form_Load();
    Run run;
    run.startUs = timer.nsecsElapsed() / 1000;
    run.status = state.status.text();
    run.prompts = prompter.asked();
    state.poller().stop();
    return run;
}

// Reads every file of the shipped tables whole.
qint64 floorUs()
{
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    for (const QString& dir : ProgramDirectory::shippedDataDirs()) {
        for (const QFileInfo& info : QDir(dir).entryInfoList(QDir::Files)) {
            QFile file(info.filePath());
            if (file.open(QIODevice::ReadOnly))
                bytes += file.readAll().size();
        }
    }
    Q_UNUSED(bytes)
    return timer.nsecsElapsed() / 1000;
}

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-alarm-file") == 0) {
        BenchAlarmFile::write(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    const qint64 applicationUs = sinceMain.nsecsElapsed() / 1000;
    const int runs = std::max(1, argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10);

    std::vector<qint64> times;
    std::vector<qint64> floors;
    Run first;
    bool allSucceeded = true;
    for (int i = 0; i < runs; ++i) {
        const Run run = startOnce();
        if (i == 0)
            first = run;
        times.push_back(run.startUs);
        floors.push_back(floorUs());
        allSucceeded =
            allSucceeded && run.status == QLatin1String("Startup Successful") && run.prompts == 0;
    }
    QTextStream out(stdout);
    out << "platform:            " << QGuiApplication::platformName() << "\n"
        << "application object:  " << applicationUs / 1000.0 << " ms\n"
        << "start-up, first run: " << first.startUs / 1000.0 << " ms (\"" << first.status << "\", "
        << first.prompts << " prompts)\n"
        << "start-up, median:    " << median(times) / 1000.0 << " ms of " << runs << " runs, worst "
        << *std::max_element(times.begin(), times.end()) / 1000.0 << " ms\n"
        << "floor (read tables): " << median(floors) / 1000.0 << " ms\n"
        << "peak memory:         " << BenchFigures::peakRssKb() / 1024 << " MB" << Qt::endl;
    return allSucceeded ? 0 : 1;
}
