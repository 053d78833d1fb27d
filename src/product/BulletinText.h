#pragma once

#include <QByteArray>
#include <QString>

// The text of a stored product as shown and alarmed: the broadcast framing up
// to and including the first start-of-heading group (SOH CR CR LF) dropped,
// CR CR read as CR (one pass, so CR CR LF line ends become CR LF) and NUL
// characters removed. Bytes are Latin-1.
class BulletinText
{
public:
    enum class LeadingNul
    {
        // A text that starts with NUL (a file that was missing, empty or
        // zero-filled) counts as no product: the result is empty. The
        // bulletin display then says the product is not available.
        MeansMissing,
        // The NUL is removed like any other: what follows is still matched
        // (an alarm is not lost because a file starts with a NUL).
        Removed,
    };

    static QString clean(const QByteArray& raw, LeadingNul leadingNul = LeadingNul::MeansMissing);
};
