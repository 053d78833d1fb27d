#include "observations/MetarArchiveJob.h"

#include "observations/MetarCollector.h"
#include "platform/FileLister.h"

QStringList MetarArchiveJob::hourlyFiles(const QString& saPath)
{
    return FileLister::list(saPath, Pattern);
}

QStringList MetarArchiveJob::searchOrder(const QStringList& names, bool oldestFirst)
{
    const qsizetype first = std::max<qsizetype>(0, names.size() - MaxFiles);
    QStringList order;
    for (qsizetype i = first; i < names.size(); ++i) {
        if (names.at(i).toUpper() != LatestName)
            order << names.at(i);
    }
    if (!oldestFirst)
        std::reverse(order.begin(), order.end());
    return order;
}

MetarArchiveJob::Outcome MetarArchiveJob::run(const QString& saPath, const QString& stations,
                                              bool oldestFirst, const std::atomic<bool>* cancel)
{
    return search(saPath, hourlyFiles(saPath), stations, oldestFirst, cancel);
}

MetarArchiveJob::Outcome MetarArchiveJob::search(const QString& saPath, const QStringList& names,
                                                 const QString& stations, bool oldestFirst,
                                                 const std::atomic<bool>* cancel)
{
    Outcome outcome;
    const MetarCollector collector(MetarCollector::stationIdentifiers(stations));
    if (names.isEmpty())
        return outcome;
    if (names.size() == 1) {
        outcome.kind = Outcome::Kind::Single;
        outcome.singleName = names.first();
        outcome.single = MetarFileScan::scan(saPath + names.first(), collector);
        return outcome;
    }
    outcome.kind = Outcome::Kind::Archive;
    outcome.text = ArchiveHeading;
    for (const QString& name : searchOrder(names, oldestFirst)) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            outcome.kind = Outcome::Kind::Cancelled;
            return outcome;
        }
        const MetarFileScan::Result result = MetarFileScan::scan(saPath + name, collector);
        outcome.text += result.reports;
        const QString note = MetarFileScan::note(name, result);
        if (!note.isEmpty())
            outcome.text += note + QStringLiteral("\r\n");
    }
    return outcome;
}
