#pragma once

#include <QColor>
#include <QList>
#include <QString>

class ActiveWarnings;

// The legend of the warning map: one row per hazard in effect, most severe
// first, with its colour and how many events of it are drawn.
class MapLegend
{
public:
    struct Row
    {
        QString name;
        QColor colour;
        int count = 0;
    };

    static QList<Row> rows(const ActiveWarnings& warnings);
    // "Tornado Warning (2)"
    static QString text(const Row& row);
    // The window title: "Warning Map - 3 active warnings".
    static QString title(const ActiveWarnings& warnings);
};
