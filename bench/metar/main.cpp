// Archive search over realistic hourly collections: 20 time-stamped files of
// about 2 MB built from real reports, of which the search reads the last 14,
// for two stations. Measures the worker's search (the code the METAR button
// runs off the window thread) and the whole round trip from the request to
// the result in the display.
//
//   bench_metar [repetitions]

#include "BenchFigures.h"
#include "CountingPrompter.h"
#include "HourlyCollections.h"
#include "NoPrinter.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "observations/IMetarAlarmActions.h"
#include "observations/MetarAlarm.h"
#include "observations/MetarArchiveJob.h"
#include "observations/MetarSearch.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/TextPrinter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class NoActions : public IMetarAlarmActions
{
public:
    void startSound(const QString&) override {}
    QString mailRecipients(int) const override { return QString(); }
    void sendMetarMail(const QString&, const QString&) override {}
    void page(const QString&, int) override {}
    bool openScroll(const QString&, const QString&) override { return true; }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const QString metarDir = QStringLiteral(VANTOREL_TEST_DATA_DIR "/metar/");
    const QList<QByteArrayList> reports = HourlyCollections::realReports(metarDir);
    const QByteArrayList ids = HourlyCollections::stationIds(
        QStringLiteral(VANTOREL_TEST_DATA_DIR "/../../data/stations.csv"));
    if (reports.isEmpty() || ids.isEmpty()) {
        std::fprintf(stderr, "bench_metar: test data not found\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString saPath = dir.path() + QLatin1Char('/');
    qint64 bytes = 0;
    for (int hour = 0; hour < 20; ++hour) {
        const QByteArray stamp = QByteArray::number(10 + hour) + "00";
        const QByteArray file =
            HourlyCollections::largeCollection(reports, ids, 2 * 1024 * 1024, "08" + stamp);
        HourlyCollections::writeFile(saPath + HourlyCollections::stampedName(12, 8, 10 + hour, 0),
                                     file);
        if (hour >= 6)
            bytes += file.size();
    }
    const QString stations = QStringLiteral("KORD,KMDW");

    std::vector<double> job;
    int found = 0;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        const MetarArchiveJob::Outcome outcome = MetarArchiveJob::run(saPath, stations, false);
        job.push_back(timer.nsecsElapsed() / 1e6);
        found = static_cast<int>(outcome.text.count(QLatin1String("\r\n"))) - 2;
    }

    Settings settings;
    settings.SAPath = saPath;
    AlarmFile alarms;
    ReferenceTables tables;
    StatusLine status;
    DisplayState display;
    SystemClock clock;
    NoPrinter printer;
    NoActions actions;
    CountingPrompter prompter;
    MetarAlarm alarm(settings, alarms, tables, status, display, clock, printer, actions, saPath);
    MetarSearch search(settings, display, prompter, alarm);
    std::vector<double> roundTrip;
    for (int i = 0; i < repetitions; ++i) {
        QEventLoop loop;
        QObject::connect(&search, &MetarSearch::searchFinished, &loop, &QEventLoop::quit);
        QElapsedTimer timer;
        timer.start();
        search.startSearch(stations);
        loop.exec();
        roundTrip.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("archive search: 14 of 20 hourly files, %.1f MB read, %d reports of %s\n",
                bytes / 1048576.0, found, qPrintable(stations));
    std::printf("search on the worker: median %.1f ms, best %.1f ms (%d runs)\n", median(job),
                *std::min_element(job.begin(), job.end()), repetitions);
    std::printf("request to display:   median %.1f ms, best %.1f ms (target under 100 ms)\n",
                median(roundTrip), *std::min_element(roundTrip.begin(), roundTrip.end()));
    return median(roundTrip) < 100.0 ? 0 : 2;
}
