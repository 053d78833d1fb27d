#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct MenuItem;

// The subject of bulletin and alarm mail: optionally expanded with the
// caption of the product's menu item and the date and time, then fixed up.
class MailSubject
{
public:
    enum class Path
    {
        Bulletin, // keeps the 5 characters from the 4th of the name (office and state)
        Alarm     // keeps everything from the 4th character
    };

    // The expanded subject of a product name: the caption of the last menu
    // item listing the name's category, " : ", the name's part after the
    // category, then "@ " and the date and time; without a matching item the
    // name itself before "@ ".
    static QString expand(const QString& name, Path path, const QList<MenuItem>& items,
                          const QDateTime& now);
    // "FEE..." and "FED..." become "FEEDBACK", "TES..." becomes "TEST".
    static QString fixUp(const QString& subject);
    // Expanded when expandHeader, then fixed up.
    static QString build(const QString& name, Path path, bool expandHeader,
                         const QList<MenuItem>& items, const QDateTime& now);

private:
    static const MenuItem* itemFor(const QString& category, const QList<MenuItem>& items);
};
