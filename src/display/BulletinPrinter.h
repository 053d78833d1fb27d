#pragma once

#include <QString>

class ITextPrinter;
class IPrompter;

// Prints the bulletin on show: Courier New at the printer font size, an
// empty line before it and three after it, CR CR LF line ends made single.
class BulletinPrinter
{
public:
    static inline const QString NoBulletin = QStringLiteral("No bulletin displayed");

    BulletinPrinter(ITextPrinter& printer, IPrompter& prompter)
        : m_printer(printer), m_prompter(prompter)
    {
    }

    // True when the display holds a bulletin (not empty, not the not-available text).
    static bool hasBulletin(const QString& displayText);
    // The text as it goes to the printer.
    static QString printableText(const QString& displayText);
    // True when the text was printed; tells the user when there is nothing to print.
    bool print(const QString& displayText, int pointSize);
    // Print of the bulletin area: its text as it is on show, edits included.
    bool printShown(const QString& areaText, int pointSize);

private:
    ITextPrinter& m_printer;
    IPrompter& m_prompter;
};
