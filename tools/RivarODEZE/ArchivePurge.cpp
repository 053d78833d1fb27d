#include "ArchivePurge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <cmath>

namespace {

QRegularExpression pattern(const char* expression)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(expression)),
                              QRegularExpression::CaseInsensitiveOption);
}

// Product key (identifier padded to 9, "~", station, "~", state) with an
// optional version number; web pages keep their product name.
const QRegularExpression kTextKey =
    pattern("[^~/\\\\]{9}~[^~/\\\\ ]{1,8}~[^~/\\\\ ]{0,2}(\\.[0-9]{1,3})?");
const QRegularExpression kWebPage = pattern("[A-Z0-9_-]{1,8}\\.HTM");
// Product name, "-", MMddHHmm, ".GIF" or ".JPG".
const QRegularExpression kImage = pattern("[A-Z0-9_-]{1,8}-[0-9]{8}\\.(GIF|JPG)");
// Hourly collections: NAME.TXT, NAME.MMddHHmm.TXT, compressed NAME.ZIS.
const QRegularExpression kHourly = pattern("[A-Z0-9]{1,8}(\\.[0-9]{8})?\\.(TXT|ZIS)");

} // namespace

ArchivePurge::ArchivePurge(QList<Directory> directories, double hours)
    : m_directories(std::move(directories)), m_hours(hours)
{
}

bool ArchivePurge::isStoreFile(Store store, const QString& name)
{
    switch (store) {
    case Store::Text:
        return kTextKey.match(name).hasMatch() || kWebPage.match(name).hasMatch();
    case Store::Images:
        return kImage.match(name).hasMatch();
    case Store::Hourly:
        return kHourly.match(name).hasMatch();
    }
    return false;
}

ArchivePurge::Report ArchivePurge::run(const QDateTime& now, bool dryRun) const
{
    Report report;
    if (!std::isfinite(m_hours) || m_hours <= 0) {
        report.notes << QStringLiteral("Purge time is %1 hours: nothing removed.").arg(m_hours);
        return report;
    }
    // Directories named by more than one setting are gone through once,
    // with the names of every store kept there.
    QMap<QString, QList<Store>> byDirectory;
    for (const Directory& d : m_directories) {
        const QFileInfo info(d.path);
        if (d.path.isEmpty() || !info.isAbsolute() || !info.isDir()) {
            report.notes << QStringLiteral("Skipped %1: not an existing directory.").arg(d.path);
            continue;
        }
        byDirectory[info.canonicalFilePath()] << d.store;
    }
    const QDateTime cutoff = now.addMSecs(-static_cast<qint64>(m_hours * 3600.0 * 1000.0));
    for (auto it = byDirectory.cbegin(); it != byDirectory.cend(); ++it)
        purgeDirectory(it.key(), it.value(), cutoff, dryRun, report);
    return report;
}

void ArchivePurge::purgeDirectory(const QString& path, const QList<Store>& stores,
                                  const QDateTime& cutoff, bool dryRun, Report& report) const
{
    const QDir dir(path);
    const QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        const QFileInfo info(dir.filePath(name));
        // a link is never followed nor removed, whatever it is called
        if (info.isSymLink() || !info.isFile()) {
            ++report.ignored;
            continue;
        }
        const bool known = std::any_of(stores.cbegin(), stores.cend(),
                                       [&](Store s) { return isStoreFile(s, name); });
        if (!known) {
            ++report.ignored;
            continue;
        }
        if (info.lastModified() >= cutoff) {
            ++report.kept;
            continue;
        }
        QFile file(info.filePath());
        if (dryRun || file.remove())
            report.removed << info.filePath();
        else
            report.failed << info.filePath() + QStringLiteral(": ") + file.errorString();
    }
}
