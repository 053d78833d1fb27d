#pragma once

#include "platform/TextPrinter.h"

#include <QString>
#include <memory>

class QPrinter;
class QWidget;

// Prints plain text with a QPrinter in Courier New. The printer object lives
// as long as this one, so the choices of the printer dialog are kept.
class QtTextPrinter : public ITextPrinter
{
public:
    QtTextPrinter();
    // Prints into a PDF file instead of a printer.
    explicit QtTextPrinter(const QString& pdfPath);
    ~QtTextPrinter() override;

    bool printText(const QString& text, int pointSize) override;
    // Printer Setup: the platform's printer dialog. True when accepted.
    bool setup(QWidget* parent);
    QPrinter& printer();

private:
    QString m_pdfPath;
    std::unique_ptr<QPrinter> m_printer;
};
