#pragma once

#include <QByteArray>
#include <QByteArrayView>

// A product's text as the Weather Wire carries it (lines ending in LF LF,
// perhaps a blank line and a sequence-number line before the WMO heading)
// turned into the form the broadcast carries: the text from the WMO heading
// on, every line ending in CR CR LF.
class NwwsProductText
{
public:
    // Lines looked at for the heading before the text is taken as it is.
    static constexpr int MaxLeadingLines = 4;

    static QByteArray broadcastForm(QByteArrayView body);
    // "TTAAii CCCC DDHHMM" with an optional " BBB".
    static bool isWmoHeading(QByteArrayView line);
};
