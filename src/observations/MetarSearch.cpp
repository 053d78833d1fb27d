#include "observations/MetarSearch.h"

#include "core/DisplayState.h"
#include "core/Settings.h"
#include "observations/MetarAlarm.h"
#include "observations/MetarCollector.h"
#include "platform/Prompter.h"

namespace {

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

} // namespace

MetarSearch::MetarSearch(const Settings& settings, DisplayState& display, IPrompter& prompter,
                         MetarAlarm& alarm, QObject* parent)
    : QObject(parent), m_settings(settings), m_display(display), m_prompter(prompter),
      m_alarm(alarm)
{
    m_pool.setMaxThreadCount(1);
}

MetarSearch::~MetarSearch()
{
    if (m_cancel)
        m_cancel->store(true);
    m_pool.waitForDone();
}

void MetarSearch::GetHourly(const QString& stations, bool displayIt)
{
    // Reports of an earlier arrival are never handed to the alarm again.
    if (!displayIt)
        m_alarmText.clear();
    const QStringList names = MetarArchiveJob::hourlyFiles(m_settings.SAPath);
    if (names.isEmpty()) {
        m_display.setDisplay(NoFilesText);
        return;
    }
    searchOne(m_settings.SAPath, names.last(), stations, displayIt, QString());
}

void MetarSearch::GetOffHourly(const QString& stations, const QString& productKey, bool displayIt)
{
    if (!displayIt)
        m_alarmText.clear();
    if (!isPlainName(productKey)) {
        MetarFileScan::Result missing;
        missing.status = MetarFileScan::Status::NotFound;
        applyLatest(missing, productKey, displayIt, QString(), Path::Hook);
        return;
    }
    searchOne(m_settings.TextPath, productKey, stations, displayIt, QStringLiteral("METAR"));
}

void MetarSearch::AlarmMetar(const QString& kind)
{
    m_alarm.AlarmMetar(m_alarmText, kind);
}

void MetarSearch::searchOne(const QString& directory, const QString& name, const QString& stations,
                            bool displayIt, const QString& tag)
{
    const MetarCollector collector(MetarCollector::stationIdentifiers(stations));
    applyLatest(MetarFileScan::scan(directory + name, collector), name, displayIt, tag, Path::Hook);
}

void MetarSearch::applyLatest(const MetarFileScan::Result& result, const QString& name,
                              bool displayIt, const QString& tag, Path path)
{
    switch (result.status) {
    case MetarFileScan::Status::NotFound:
        m_display.setDisplay(NotAvailableText);
        return;
    case MetarFileScan::Status::Unreadable:
        m_display.setDisplay(MetarFileScan::note(name, result));
        return;
    case MetarFileScan::Status::Read:
        break;
    }
    if (result.reports.isEmpty()) {
        m_alarmText.clear();
        // The interactive search must not leave its standby text on show.
        if (path == Path::Interactive)
            m_display.setDisplay(LatestHeading);
        return;
    }
    const QString text = LatestHeading + result.reports;
    if (!displayIt) {
        m_alarmText = text;
        return;
    }
    const QString note = MetarFileScan::note(name, result);
    m_display.setDisplay(note.isEmpty() ? text : text + note + QStringLiteral("\r\n"), tag);
}

void MetarSearch::askAndSearch()
{
    const std::optional<QString> answer =
        m_prompter.input(InputPrompt, InputTitle, m_settings.Metar);
    if (!answer || answer->isEmpty())
        return;
    if (answer->size() < 3) {
        m_display.setDisplay(ShortAnswerText);
        return;
    }
    startSearch(*answer);
}

void MetarSearch::startSearch(const QString& answer)
{
    m_display.setDisplay(StandbyText);
    if (m_cancel)
        m_cancel->store(true);
    m_cancel = std::make_shared<std::atomic<bool>>(false);
    const quint64 generation = ++m_generation;
    m_running = true;
    const QString saPath = m_settings.SAPath;
    const QString stations = answer.toUpper();
    const bool oldestFirst = m_settings.Reverse != 0;
    m_pool.start([this, saPath, stations, oldestFirst, cancel = m_cancel, generation] {
        const MetarArchiveJob::Outcome outcome =
            MetarArchiveJob::run(saPath, stations, oldestFirst, cancel.get());
        QMetaObject::invokeMethod(
            this, [this, outcome, generation] { finishSearch(outcome, generation); },
            Qt::QueuedConnection);
    });
}

void MetarSearch::finishSearch(const MetarArchiveJob::Outcome& outcome, quint64 generation)
{
    if (generation != m_generation)
        return; // a later search replaced this one
    m_running = false;
    switch (outcome.kind) {
    case MetarArchiveJob::Outcome::Kind::NoFiles:
        m_display.setDisplay(NoFilesText);
        break;
    case MetarArchiveJob::Outcome::Kind::Single:
        applyLatest(outcome.single, outcome.singleName, true, QString(), Path::Interactive);
        break;
    case MetarArchiveJob::Outcome::Kind::Archive:
        m_display.setDisplay(outcome.text);
        break;
    case MetarArchiveJob::Outcome::Kind::Cancelled:
        return;
    }
    emit searchFinished();
}
