#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The shortened form of a bulletin for mail and pages: for tornado, severe
// thunderstorm and flash flood warnings only the bullets from the first one
// on, then the abbreviation dictionary's replacements for every category.
class WarningText
{
public:
    // category: the product category (the first 3 characters are used).
    // The dictionary's pairs are applied in order up to the pair "-END-".
    static QString compress(const QString& text, const QString& category,
                            const QList<QPair<QString, QString>>& dictionary);

private:
    static void keepBullets(QString* text);
};
