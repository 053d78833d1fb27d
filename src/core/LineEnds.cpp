#include "core/LineEnds.h"

QString LineEnds::StripEOL(const QString& textDataIn)
{
    QString text = textDataIn;
    qsizetype pos = 1; // 1-based, as the pairs are counted
    do {
        if (pos < text.size() && text.at(pos - 1) == QLatin1Char('\r') &&
            text.at(pos) == QLatin1Char('\n'))
            text.replace(pos - 1, 2, QStringLiteral("\n"));
        ++pos;
    } while (pos < text.size() - 1);
    return text;
}
