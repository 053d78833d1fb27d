#pragma once

#include <QString>

// Checks names typed or picked by the user before they are joined to a store
// directory: only A-Z, 0-9, ".", "~", blank and the wildcards "?" and "*" may
// occur, and a name made only of dots is refused, so nothing outside the
// store directories is ever opened.
class ProductName
{
public:
    static bool isValid(const QString& name);
    // The message shown for a refused name.
    static QString invalidMessage(const QString& name);
};
