#pragma once

#include <QString>

// Line-end forms of outgoing texts.
class LineEnds
{
public:
    // Strip-LF mode of mail texts: CR LF pairs become single LF; a pair that
    // ends the text stays.
    static QString StripEOL(const QString& textDataIn);
};
