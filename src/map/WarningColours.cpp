#include "map/WarningColours.h"

namespace {

WarningColours::Entry entry(const char* phenomenon, char significance, const char* name,
                            const char* colour)
{
    return {QLatin1String(phenomenon), QLatin1Char(significance), QLatin1String(name),
            QColor(QLatin1String(colour))};
}

} // namespace

const QList<WarningColours::Entry>& WarningColours::entries()
{
    static const QList<Entry> table = {
        entry("TO", 'W', "Tornado Warning", "#FF0000"),
        entry("EW", 'W', "Extreme Wind Warning", "#FF8C00"),
        entry("SV", 'W', "Severe Thunderstorm Warning", "#FFA500"),
        entry("FF", 'W', "Flash Flood Warning", "#8B0000"),
        entry("SQ", 'W', "Snow Squall Warning", "#C71585"),
        entry("MA", 'W', "Special Marine Warning", "#FFA500"),
        entry("FA", 'W', "Areal Flood Warning", "#00FF00"),
        entry("FL", 'W', "Flood Warning", "#00FF00"),
        entry("HU", 'W', "Hurricane Warning", "#DC143C"),
        entry("TR", 'W', "Tropical Storm Warning", "#B22222"),
        entry("BZ", 'W', "Blizzard Warning", "#FF4500"),
        entry("WS", 'W', "Winter Storm Warning", "#FF69B4"),
        entry("IS", 'W', "Ice Storm Warning", "#8B008B"),
        entry("HW", 'W', "High Wind Warning", "#DAA520"),
        entry("TO", 'A', "Tornado Watch", "#FFFF00"),
        entry("SV", 'A', "Severe Thunderstorm Watch", "#DB7093"),
        entry("FF", 'A', "Flash Flood Watch", "#2E8B57"),
        entry("FA", 'A', "Flood Watch", "#2E8B57"),
        entry("WS", 'A', "Winter Storm Watch", "#4682B4"),
    };
    return table;
}

const WarningColours::Entry* WarningColours::find(const QString& phenomenon, QChar significance)
{
    for (const Entry& e : entries()) {
        if (e.phenomenon == phenomenon && e.significance == significance)
            return &e;
    }
    return nullptr;
}

QColor WarningColours::colourOf(const QString& phenomenon, QChar significance)
{
    const Entry* e = find(phenomenon, significance);
    return e ? e->colour : QColor(QStringLiteral("#A9A9A9"));
}

QString WarningColours::nameOf(const QString& phenomenon, QChar significance)
{
    const Entry* e = find(phenomenon, significance);
    return e ? e->name : phenomenon + QLatin1Char('.') + significance;
}

int WarningColours::rank(const QString& phenomenon, QChar significance)
{
    const Entry* e = find(phenomenon, significance);
    return e ? int(e - entries().data()) : int(entries().size());
}
