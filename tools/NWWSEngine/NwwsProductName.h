#pragma once

#include <QByteArrayView>
#include <QString>

class OfficeStates;

// The Data-In file name the broadcast gives a text product: the AWIPS
// identifier (category and office), the 2-letter state and ".TXT". The state
// is the first zone or county code's (UGC) in the text; without one a
// product of a forecast office takes that office's state, and products of
// national centres, river forecast centres and unknown stations are "US".
class NwwsProductName
{
public:
    // Bytes of the text searched for the first zone code.
    static constexpr qsizetype SearchBytes = 64 * 1024;

    explicit NwwsProductName(const OfficeStates& offices) : m_offices(offices) {}

    // awipsId and station come from the message's attributes; text is the
    // product. A missing identifier is made from the WMO data type.
    QString fileName(const QString& awipsId, const QString& station, const QString& ttaaii,
                     QByteArrayView text) const;
    QString stateOf(const QString& awipsId, const QString& station, QByteArrayView text) const;
    // The first zone/county code's state in the text, or empty.
    static QString ugcState(QByteArrayView text);

private:
    const OfficeStates& m_offices;
};
