// Ingest benchmark: renames N corpus products at once into a temporary
// Data-In directory watched by the running poller, with 999 alarm definitions
// loaded, and lets the event loop file them through the program's own
// services (the poller and its watcher, ProcessData, the alarm dispatcher and
// the alarm component, as MainState wires them). Beside it, in the same run,
// the floor: the same system calls without the program (list the directory
// sorted, per file open and read the head, rename into a store, write a
// receipt by temporary file and rename). Then the drop-to-alarm latency of a
// tornado warning renamed into Data-In, the longest event-loop stall during
// the burst and the peak memory.
//
//   bench_ingest [N] [latency samples]     (default 10000 100)

#include "BenchAlarmFile.h"
#include "BenchFigures.h"
#include "CountingPrompter.h"
#include "alarms/AlarmComponent.h"
#include "app/MainState.h"
#include "ingest/DataInPoller.h"
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
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
QString makeDir(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

QList<QByteArray> readCorpus(const QString& dir, QStringList* names)
{
    *names = FileLister::list(dir);
    QList<QByteArray> contents;
    for (const QString& name : *names) {
        QFile file(dir + name);
        if (file.open(QIODevice::ReadOnly))
            contents << file.readAll();
    }
    return contents;
}

void drop(const QString& dataIn, const QStringList& names, const QList<QByteArray>& contents,
          int count)
{
    for (int i = 0; i < count; ++i) {
        const int k = i % names.size();
        QFile file(dataIn + names.at(k) + QStringLiteral("@b%1").arg(i));
        if (file.open(QIODevice::WriteOnly))
            file.write(contents.at(k));
    }
}

// The same system calls as the filing of one product, without the program.
qint64 floorPass(const std::string& dataIn, const std::string& store, const std::string& receipts)
{
    QElapsedTimer timer;
    timer.start();
    std::vector<std::string> files;
    if (DIR* dir = opendir(dataIn.c_str())) {
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.')
                files.emplace_back(entry->d_name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    char head[4096];
    int n = 0;
    for (const std::string& name : files) {
        const std::string path = dataIn + name;
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0)
            continue;
        const ssize_t got = read(fd, head, sizeof head);
        close(fd);
        if (got < 0)
            continue;
        const std::string target = store + std::to_string(n % 2000);
        rename(path.c_str(), target.c_str());
        const std::string temp = receipts + ".tmp";
        const int out = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out >= 0) {
            (void)!write(out, name.data(), name.size());
            close(out);
            rename(temp.c_str(), (receipts + name.substr(0, 12)).c_str());
        }
        ++n;
    }
    return std::max<qint64>(timer.elapsed(), 1);
}

// Written aside on the same file system, then renamed in, as an engine does.
void deliver(const QString& staging, const QString& dataIn, const QStringList& names,
             const QList<QByteArray>& contents, int count)
{
    drop(staging, names, contents, count);
    for (const QString& name : QDir(staging).entryList(QDir::Files))
        QFile::rename(staging + name, dataIn + name);
}

// The longest gap between ticks of a 5 ms timer, beyond its interval.
class StallMeter
{
public:
    StallMeter()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_since.restart() - 5); });
    }
    void start()
    {
        m_since.start();
        m_timer.start();
    }
    qint64 stop()
    {
        m_timer.stop();
        return std::max<qint64>(m_longest, m_since.elapsed() - 5);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int samples = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 100;
    QTextStream out(stdout);
    QTemporaryDir temp;
    const QString root = temp.path() + QStringLiteral("/");
    const QString prog = makeDir(root + QStringLiteral("prog/"));

    SettingsStore store(root + QStringLiteral("settings.conf"));
    ProcessLauncher launcher(prog);
    NullWindowControl windows;
    CountingPrompter prompter;
    SystemClock clock;
    MainState state(prog, MainState::Services{&store, &launcher, &windows, &prompter, &clock});
    Settings& s = state.settings;
    s.TrackPath = makeDir(prog + QStringLiteral("track/"));
    s.TransferPath = makeDir(s.TrackPath + QStringLiteral("transfer/"));
    s.TextPath = makeDir(root + QStringLiteral("Data/"));
    s.GIFPath = makeDir(root + QStringLiteral("Images/"));
    s.SAPath = makeDir(root + QStringLiteral("HourlyWX/"));
    makeDir(s.receiptDir());
    state.lists.setLocalCodes(s.localFilterCodes());
    const QString alarmPath = prog + AlarmFile::fileName(0);
    BenchAlarmFile::write(alarmPath);
    state.alarms.load(alarmPath);

    QStringList names;
    const QList<QByteArray> contents =
        readCorpus(QStringLiteral(VANTOREL_TEST_DATA_DIR "/corpus/products/"), &names);
    if (names.isEmpty()) {
        out << "no corpus" << Qt::endl;
        return 1;
    }

    // The floor first, on the same files in a directory of its own.
    const QString floorIn = makeDir(root + QStringLiteral("floor/in/"));
    const QString floorStore = makeDir(root + QStringLiteral("floor/store/"));
    const QString floorReceipts = makeDir(root + QStringLiteral("floor/receipts/"));
    drop(floorIn, names, contents, count);
    const qint64 floorMs =
        floorPass(floorIn.toStdString(), floorStore.toStdString(), floorReceipts.toStdString());

    int alarms = 0;
    QElapsedTimer clockNs;
    clockNs.start();
    qint64 alarmAt = 0;
    QObject::connect(&state.getalarm(), &AlarmComponent::AlarmList, [&] {
        ++alarms;
        alarmAt = clockNs.nsecsElapsed();
    });
    DataInPoller& poller = state.poller();
    poller.setDirectory(s.TransferPath);
    poller.start();
    const QString staging = makeDir(root + QStringLiteral("staging/"));

    // The burst: everything renamed in at once, then the event loop runs
    // until Data-In is empty.
    deliver(staging, s.TransferPath, names, contents, count);
    QEventLoop loop;
    QObject::connect(&poller, &DataInPoller::passFinished, [&] {
        if (FileLister::list(s.TransferPath).isEmpty())
            loop.quit();
    });
    StallMeter stalls;
    QElapsedTimer timer;
    timer.start();
    stalls.start();
    loop.exec();
    const qint64 passMs = std::max<qint64>(timer.elapsed(), 1);
    const qint64 longestStall = stalls.stop();
    const int burstAlarms = alarms;

    // Drop-to-alarm: a tornado warning, new text each time, renamed in.
    QFile warningFile(QStringLiteral(VANTOREL_TEST_DATA_DIR "/corpus/products/TORDMXIA.TXT"));
    const QByteArray warning = warningFile.open(QIODevice::ReadOnly) ? warningFile.readAll() : "";
    std::vector<double> latencies;
    for (int i = 0; i < samples && !warning.isEmpty(); ++i) {
        const QString name = QStringLiteral("TORDMXIA.TXT@lat%1").arg(i);
        QFile out(staging + name);
        if (out.open(QIODevice::WriteOnly))
            out.write(warning + "\r\r\nSAMPLE " + QByteArray::number(i) + "\r\r\n");
        out.close();
        alarmAt = 0;
        const qint64 dropped = clockNs.nsecsElapsed();
        QFile::rename(staging + name, s.TransferPath + name);
        QElapsedTimer wait;
        wait.start();
        while (alarmAt == 0 && wait.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (alarmAt != 0)
            latencies.push_back((alarmAt - dropped) / 1e6);
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec(); // a pause between warnings
    }
    poller.stop();

    const int left = int(FileLister::list(s.TransferPath).size());
    const int filed = int(QDir(s.TextPath).entryList(QDir::Files).size());
    const int quarantined =
        int(QDir(state.processor().quarantineDir()).entryList(QDir::Files).size());
    const qint64 rate = qRound64(count * 1000.0 / passMs);
    const qint64 floorRate = qRound64(count * 1000.0 / floorMs);
    out << "load average:        " << BenchFigures::loadAverage() << "\n"
        << "products:            " << count << " (" << names.size() << " corpus files)\n"
        << "alarm definitions:   " << state.alarms.definitions().size() << "\n"
        << "program pass:        " << passMs << " ms, " << rate << " products/s\n"
        << "floor (same calls):  " << floorMs << " ms, " << floorRate << " products/s\n"
        << "program / floor:     " << QString::number(double(passMs) / floorMs, 'f', 1) << "x\n"
        << "alarms raised:       " << burstAlarms << "\n"
        << "longest stall:       " << longestStall << " ms (event loop, during the burst)\n"
        << "drop-to-alarm:       p50 "
        << QString::number(BenchFigures::percentile(latencies, 0.5), 'f', 1) << " ms, p99 "
        << QString::number(BenchFigures::percentile(latencies, 0.99), 'f', 1) << " ms, max "
        << QString::number(BenchFigures::percentile(latencies, 1.0), 'f', 1) << " ms ("
        << latencies.size() << " of " << samples << " warnings alarmed)\n"
        << "files in TextPath:   " << filed << " (keys and versions)\n"
        << "left in Data-In:     " << left << ", quarantined " << quarantined << ", error reports "
        << prompter.messages << "\n"
        << "peak memory:         " << BenchFigures::peakRssKb() / 1024 << " MB" << Qt::endl;
    return left == 0 && quarantined == 0 ? 0 : 1;
}
