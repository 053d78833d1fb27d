#pragma once

#include <QString>

// Prints plain text on the default printer.
class ITextPrinter
{
public:
    virtual ~ITextPrinter() = default;
    // True when the text was handed to the printer.
    virtual bool printText(const QString& text, int pointSize) = 0;
};
