#pragma once

#include <QColor>
#include <QList>
#include <QString>

// The customary map colour and name of a hazard (VTEC phenomenon and
// significance), as on the National Weather Service's hazard map.
class WarningColours
{
public:
    struct Entry
    {
        QString phenomenon; // "TO"
        QChar significance; // 'W'
        QString name;       // "Tornado Warning"
        QColor colour;
    };

    // Every listed hazard, in legend order (most severe first).
    static const QList<Entry>& entries();
    // The entry of a hazard; nullptr for one that is not listed.
    static const Entry* find(const QString& phenomenon, QChar significance);
    // Colour of a hazard; grey for a warning or watch that is not listed.
    static QColor colourOf(const QString& phenomenon, QChar significance);
    // Legend text of a hazard: its name, or "TO.W" for one that is not listed.
    static QString nameOf(const QString& phenomenon, QChar significance);
    // Position in the legend order; unlisted ones after the listed.
    static int rank(const QString& phenomenon, QChar significance);
};
