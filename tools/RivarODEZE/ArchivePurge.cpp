#include "ArchivePurge.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <functional>

namespace {

QRegularExpression pattern(const char* expression)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(QLatin1String(expression)));
}

// The store's timestamp MMddHHmm, a real month, day, hour and minute.
#define STAMP "(0[1-9]|1[0-2])(0[1-9]|[12][0-9]|3[01])([01][0-9]|2[0-3])[0-5][0-9]"
// Product key: identifier padded to 9, "~", station, "~", state.
#define KEY "[^~/\\\\]{9}~[^~/\\\\ ]{1,8}~[^~/\\\\ a-z]{0,2}"

const QRegularExpression kTextKey = pattern(KEY);
// Older versions: key.1 ... written without leading zeros.
const QRegularExpression kTextVersion = pattern(KEY "\\.[1-9][0-9]{0,4}");
// Web pages keep their upper-cased product name.
const QRegularExpression kWebPage = pattern("[A-Z0-9_-]{1,8}\\.HTM");
// Product name, "-", MMddHHmm, ".GIF" or ".JPG"; the name is captured.
const QRegularExpression kPicture = pattern("([A-Z0-9_-]{1,8})-" STAMP "\\.(GIF|JPG)");
// The hourly collections as extracted, and their compressed forms.
const QRegularExpression kHourlyCurrent = pattern("(SAHOURLY|SAORCMUS)\\.TXT|"
                                                  "[A-Z0-9_-]{0,8}(SAHOURLY|SFCOBS|UPROBS|SAORCM)"
                                                  "[A-Z0-9_-]{0,8}\\.ZIS");
// Dated copies of the hourly collections.
const QRegularExpression kHourlyCopy = pattern("(SAHOURLY|SAORCMUS)\\." STAMP "\\.TXT");

#undef KEY
#undef STAMP

bool matches(const QRegularExpression& expression, const QString& name)
{
    return expression.match(name).hasMatch();
}

} // namespace

ArchivePurge::ArchivePurge(QList<Directory> directories, double hours)
    : m_directories(std::move(directories)), m_hours(hours)
{
}

bool ArchivePurge::isStoreFile(Store store, const QString& name)
{
    return kindOf(store, name) != Kind::Foreign;
}

ArchivePurge::Kind ArchivePurge::kindOf(Store store, const QString& name)
{
    switch (store) {
    case Store::Text:
        if (matches(kTextVersion, name))
            return Kind::Older;
        return matches(kTextKey, name) || matches(kWebPage, name) ? Kind::Newest : Kind::Foreign;
    case Store::Images:
        return matches(kPicture, name) ? Kind::Picture : Kind::Foreign;
    case Store::Hourly:
        if (matches(kHourlyCopy, name))
            return Kind::Older;
        return matches(kHourlyCurrent, name) ? Kind::Newest : Kind::Foreign;
    }
    return Kind::Foreign;
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
    QList<Candidate> candidates;
    for (const QString& name : names) {
        const QFileInfo info(dir.filePath(name));
        // a link is never followed nor removed, whatever it is called
        if (info.isSymLink() || !info.isFile()) {
            ++report.ignored;
            continue;
        }
        Kind kind = Kind::Foreign;
        for (Store s : stores) {
            if (kind == Kind::Foreign)
                kind = kindOf(s, name);
        }
        if (kind == Kind::Foreign)
            ++report.ignored;
        else if (kind == Kind::Newest)
            ++report.kept;
        else
            candidates << Candidate{info, kind};
    }
    keepNewestPictures(candidates, report);
    for (const Candidate& c : std::as_const(candidates)) {
        const QFileInfo& info = c.info;
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

// The newest picture of each image name (by time of last change; by name
// when two are equally old) is taken out of the candidates and kept.
void ArchivePurge::keepNewestPictures(QList<Candidate>& candidates, Report& report)
{
    QHash<QString, qsizetype> newest; // image name -> index in candidates
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates.at(i);
        if (c.kind != Kind::Picture)
            continue;
        const QString image = kPicture.match(c.info.fileName()).captured(1);
        const auto it = newest.find(image);
        if (it == newest.end()) {
            newest.insert(image, i);
            continue;
        }
        const QFileInfo& best = candidates.at(*it).info;
        const QDateTime time = c.info.lastModified();
        if (time > best.lastModified() ||
            (time == best.lastModified() && c.info.fileName() > best.fileName()))
            *it = i;
    }
    QList<qsizetype> keep = newest.values();
    std::sort(keep.begin(), keep.end(), std::greater<>());
    for (qsizetype i : keep) {
        candidates.removeAt(i);
        ++report.kept;
    }
}
