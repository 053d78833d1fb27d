#include "PurgeRun.h"

#include "core/Settings.h"
#include "platform/DateTimeText.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

QList<ArchivePurge::Directory> PurgeRun::directories(const SettingsStore& store, QStringList* notes)
{
    const QList<QPair<ArchivePurge::Store, Settings::Key>> keys{
        {ArchivePurge::Store::Text, Settings::Key::TextPath},
        {ArchivePurge::Store::Images, Settings::Key::GIFPath},
        {ArchivePurge::Store::Hourly, Settings::Key::SAPath},
    };
    QList<ArchivePurge::Directory> result;
    for (const auto& [store_, key] : keys) {
        const QString path = Settings::storedText(store, key);
        if (path == QLatin1String("abcd") || path.trimmed().isEmpty()) {
            if (notes)
                *notes << QStringLiteral("%1 is not set; not purged.").arg(Settings::keyName(key));
            continue;
        }
        result << ArchivePurge::Directory{store_, path};
    }
    return result;
}

double PurgeRun::hours(const SettingsStore& store)
{
    return ValueConversion::lenientNumber(Settings::storedText(store, Settings::Key::Purge));
}

PurgeRun::Outcome PurgeRun::run(const SettingsStore& store, const QDateTime& now, bool dryRun)
{
    Outcome outcome;
    QStringList notes;
    const double purgeHours = hours(store);
    const ArchivePurge purge(directories(store, &notes), purgeHours);
    const ArchivePurge::Report report = purge.run(now, dryRun);
    const QString stamp = DateTimeText::general(now) + QLatin1Char(' ');
    for (const QString& note : notes + report.notes)
        outcome.lines << stamp + note;
    const QString verb = dryRun ? QStringLiteral("would remove ") : QStringLiteral("removed ");
    for (const QString& path : report.removed)
        outcome.lines << stamp + verb + path;
    for (const QString& failure : report.failed)
        outcome.lines << stamp + QStringLiteral("could not remove ") + failure;
    outcome.lines << stamp +
                         QStringLiteral("Purge%1: %2 %3, %4 kept, older than %5 hours.")
                             .arg(dryRun ? QStringLiteral(" (dry run)") : QString())
                             .arg(report.removed.size())
                             .arg(dryRun ? QStringLiteral("to remove") : QStringLiteral("removed"))
                             .arg(report.kept)
                             .arg(purgeHours);
    outcome.ok = report.failed.isEmpty();
    return outcome;
}
