#include "display/ui/QtTextPrinter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStringList>

QtTextPrinter::QtTextPrinter() = default;

QtTextPrinter::QtTextPrinter(const QString& pdfPath) : m_pdfPath(pdfPath) {}

QtTextPrinter::~QtTextPrinter() = default;

// Made on first use: a printer object asks the print server for its
// printers, which start-up must not wait for.
QPrinter& QtTextPrinter::printer()
{
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (!m_pdfPath.isEmpty()) {
            m_printer->setOutputFormat(QPrinter::PdfFormat);
            m_printer->setOutputFileName(m_pdfPath);
        }
    }
    return *m_printer;
}

bool QtTextPrinter::printText(const QString& text, int pointSize)
{
    printer();
    if (m_printer->outputFormat() == QPrinter::NativeFormat && m_printer->printerName().isEmpty() &&
        QPrinterInfo::defaultPrinter().isNull())
        return false;
    QPainter painter;
    if (!painter.begin(m_printer.get()))
        return false;
    QFont font(QStringLiteral("Courier New"), pointSize > 0 ? pointSize : 12);
    font.setStyleHint(QFont::TypeWriter);
    painter.setFont(font);
    const QFontMetrics metrics(font, m_printer.get());
    const QRect page = painter.viewport();
    int y = metrics.ascent();
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList lines = normalised.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (y + metrics.descent() > page.height()) {
            m_printer->newPage();
            y = metrics.ascent();
        }
        painter.drawText(0, y, line);
        y += metrics.lineSpacing();
    }
    return painter.end();
}

bool QtTextPrinter::setup(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    return dialog.exec() == QDialog::Accepted;
}
