// Ingest benchmark: drops N corpus products into a temporary Data-In
// directory, loads 1,000 alarm definitions, runs one polling pass of
// ProcessData over all files and prints the throughput and peak memory.
//
//   bench_ingest [N]     (default 10000)

#include "RegexAlarmLoops.h"
#include "core/AlarmFile.h"
#include "app/MainState.h"
#include "ingest/DataInPoller.h"
#include "core/NoMetarHooks.h"
#include "ingest/ProductProcessor.h"
#include "platform/Clock.h"
#include "platform/FileLister.h"
#include "platform/ProcessLauncher.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"
#include "platform/WindowControl.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {
class SilentPrompter : public IPrompter
{
public:
    void message(const QString&, const QString&, Icon) override { ++messages; }
    Answer question(const QString&, const QString&, Buttons) override { return Answer::No; }
    std::optional<QString> input(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    int messages = 0;
};

QString makeDir(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

// 1,000 patterns in the alarm file's write form: categories of common
// products for a spread of offices, with "?" wildcards and WAR groups.
void writeAlarmFile(const QString& path)
{
    const QStringList categories = {"TOR", "SVR", "FFW", "AFD", "ZFP", "WAR", "SPS", "HWO",
                                    "CLI", "RWR", "FLS", "NOW", "LSR", "PNS", "RTP", "SWO"};
    const QStringList offices = {"GRR", "DTX", "IWX", "BOX", "DMX", "PSR", "LOT", "MKX",
                                 "OKX", "LWX", "FWD", "HGX", "MFL", "SEW", "???", "G??"};
    AlarmFile file;
    for (int i = 0; i < AlarmFile::MaxDefinitions; ++i) {
        AlarmDefinition d;
        const QString category = categories.at(i % categories.size());
        QString office = offices.at((i / categories.size()) % offices.size());
        if (category == QLatin1String("WAR"))
            office.replace(QLatin1Char('?'),
                           QLatin1Char('G')); // "?" after the group would be a quantifier
        d.pattern = category + office;
        if (i >= 256)
            d.pattern += QString::number(i % 10); // longer patterns, rarely firing
        file.definitions() << d;
    }
    file.save(path);
}

QStringList corpusFiles(const QString& dir)
{
    return FileLister::list(dir);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    QTextStream out(stdout);
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/");
    const QString prog = makeDir(root + QStringLiteral("prog/"));

    SettingsStore store(root + QStringLiteral("settings.conf"));
    ProcessLauncher launcher(prog);
    NullWindowControl windows;
    SilentPrompter prompter;
    SystemClock clock;
    MainState state(prog, MainState::Services{&store, &launcher, &windows, &prompter, &clock});
    Settings& s = state.settings;
    s.TrackPath = makeDir(prog + QStringLiteral("track/"));
    s.TransferPath = makeDir(s.TrackPath + QStringLiteral("transfer/"));
    s.TextPath = makeDir(root + QStringLiteral("Data/"));
    s.GIFPath = makeDir(root + QStringLiteral("Images/"));
    s.SAPath = makeDir(root + QStringLiteral("HourlyWX/"));
    state.receiptDir = makeDir(s.TrackPath + QStringLiteral("emwin/"));
    state.localCodes = s.localFilterCodes();

    const QString alarmPath = prog + AlarmFile::fileName(0);
    writeAlarmFile(alarmPath);
    state.alarms.load(alarmPath);
    RegexAlarmLoops loops(state.alarms);
    NoMetarHooks metar;
    ProductProcessor processor(state, loops, metar);

    const QString corpusDir = QStringLiteral(VANTOREL_TEST_DATA_DIR "/corpus/products/");
    const QStringList corpus = corpusFiles(corpusDir);
    if (corpus.isEmpty()) {
        out << "no corpus in " << corpusDir << Qt::endl;
        return 1;
    }
    QList<QByteArray> contents;
    for (const QString& name : corpus) {
        QFile file(corpusDir + name);
        file.open(QIODevice::ReadOnly);
        contents << file.readAll();
    }
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        const int k = i % corpus.size();
        QFile file(s.TransferPath + corpus.at(k) + QStringLiteral("@b%1").arg(i));
        file.open(QIODevice::WriteOnly);
        file.write(contents.at(k));
    }
    const qint64 dropMs = timer.elapsed();

    DataInPoller& poller = state.poller();
    poller.setDirectory(s.TransferPath);
    poller.setProcessor(&processor);
    timer.restart();
    poller.runPassNow();
    const qint64 passMs = std::max<qint64>(timer.elapsed(), 1);

    const int left = int(FileLister::list(s.TransferPath).size());
    const int filed = int(QDir(s.TextPath).entryList(QDir::Files).size());
    const int quarantined = int(QDir(processor.quarantineDir()).entryList(QDir::Files).size());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out << "products:          " << count << " (" << corpus.size() << " corpus files)\n"
        << "alarm definitions: " << state.alarms.definitions().size() << "\n"
        << "drop time:         " << dropMs << " ms\n"
        << "pass time:         " << passMs << " ms\n"
        << "products/second:   " << qRound64(count * 1000.0 / passMs) << "\n"
        << "alarm tests:       " << loops.tested() << ", fired " << loops.fired() << "\n"
        << "files in TextPath: " << filed << " (keys and versions)\n"
        << "left in Data-In:   " << left << ", quarantined " << quarantined << ", error reports "
        << prompter.messages << "\n"
        << "peak memory:       " << usage.ru_maxrss / 1024 << " MB (ru_maxrss " << usage.ru_maxrss
        << " kB)" << Qt::endl;
    return left == 0 && quarantined == 0 ? 0 : 1;
}
