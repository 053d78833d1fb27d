#include "images/FrameSelection.h"

#include "platform/FileLister.h"

#include <algorithm>

namespace {
constexpr int NameLength = 8;

bool twoDigits(const QString& text, int at, int* value)
{
    bool ok = false;
    *value = text.mid(at, 2).toInt(&ok);
    return ok && text.at(at).isDigit() && text.at(at + 1).isDigit();
}

struct Ordered
{
    QString imageName;
    QDateTime time;
    int position;
};
} // namespace

QDateTime FrameSelection::stampTime(const QString& name, const QDateTime& now)
{
    if (name.size() < StampedLength || name.at(NameLength) != QLatin1Char('-'))
        return {};
    int month = 0, day = 0, hour = 0, minute = 0;
    const int s = NameLength + 1;
    if (!twoDigits(name, s, &month) || !twoDigits(name, s + 2, &day) ||
        !twoDigits(name, s + 4, &hour) || !twoDigits(name, s + 6, &minute))
        return {};
    const QTime time(hour, minute);
    if (!time.isValid())
        return {};
    const QDateTime latest = now.addDays(1);
    // Walk back over the years until the date exists (29 February) and is not
    // in the future.
    for (int year = now.date().year(); year > now.date().year() - 8; --year) {
        const QDate date(year, month, day);
        if (!date.isValid())
            continue;
        const QDateTime when(date, time, now.timeSpec());
        if (when <= latest)
            return when;
    }
    return {};
}

QStringList FrameSelection::ordered(const QStringList& names, const QDateTime& now)
{
    QList<Ordered> items;
    items.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        items.append({names.at(i).left(NameLength).toUpper(), stampTime(names.at(i), now), i});
    std::stable_sort(items.begin(), items.end(), [](const Ordered& a, const Ordered& b) {
        if (a.imageName != b.imageName)
            return a.position < b.position; // name order between image names
        if (a.time.isValid() != b.time.isValid())
            return !a.time.isValid();
        if (a.time.isValid() && a.time != b.time)
            return a.time < b.time;
        return a.position < b.position;
    });
    QStringList result;
    result.reserve(items.size());
    for (const Ordered& item : items)
        result << names.at(item.position);
    return result;
}

QStringList FrameSelection::dropDuplicateStamps(const QStringList& names)
{
    QStringList kept;
    for (const QString& name : names) {
        if (!kept.isEmpty() && kept.last()
                                       .left(StampedLength)
                                       .compare(name.left(StampedLength), Qt::CaseInsensitive) == 0)
            continue;
        kept << name;
    }
    return kept;
}

QStringList FrameSelection::frameNames(const QString& directory, const QString& prefix,
                                       const QDateTime& now)
{
    const QStringList listed = FileLister::list(directory, prefix + QLatin1Char('*'));
    return ordered(dropDuplicateStamps(listed), now);
}

QStringList FrameSelection::frameWindow(const QStringList& names)
{
    const qsizetype first = std::max<qsizetype>(0, names.size() - MaxFrames);
    return names.mid(first);
}

QString FrameSelection::newestFile(const QString& directory, const QString& prefix,
                                   const QDateTime& now)
{
    const QStringList names = ordered(FileLister::list(directory, prefix + QLatin1Char('*')), now);
    return names.isEmpty() ? QString() : names.last();
}
