#include "display/BulletinPrinter.h"

#include "display/BulletinDisplay.h"
#include "platform/Prompter.h"
#include "platform/TextPrinter.h"

bool BulletinPrinter::hasBulletin(const QString& displayText)
{
    return !displayText.isEmpty() && displayText != BulletinDisplay::NotAvailable;
}

QString BulletinPrinter::printableText(const QString& displayText)
{
    QString text = displayText;
    text.replace(QStringLiteral("\r\r\n"), QStringLiteral("\r\n"));
    return QStringLiteral("\r\n") + text + QStringLiteral("\r\n\r\n\r\n");
}

bool BulletinPrinter::print(const QString& displayText, int pointSize)
{
    if (!hasBulletin(displayText)) {
        m_prompter.message(NoBulletin, QString(), IPrompter::Icon::Information);
        return false;
    }
    if (!m_printer.printText(printableText(displayText), pointSize)) {
        m_prompter.message(QStringLiteral("The bulletin could not be printed: no printer is "
                                          "available."),
                           QString(), IPrompter::Icon::Exclamation);
        return false;
    }
    return true;
}

bool BulletinPrinter::printShown(const QString& areaText, int pointSize)
{
    return print(areaText, pointSize);
}
