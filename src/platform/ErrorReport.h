#pragma once

#include "platform/RuntimeError.h"

#include <QString>

// Builds the program-wide error report:
// caption, line break, "Error: N", line break, "Possible Causes: text".
class ErrorReport
{
public:
    static QString format(const QString& caption, int number, const QString& text);
    static QString format(const QString& caption, const RuntimeError& error);
};
