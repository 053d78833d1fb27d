#pragma once

#include <QString>

// One product as filed by ingest: what it is, under which name and where it
// is kept, and what the lists, the alarm loops and the METAR hooks read of it.
struct FiledProduct
{
    enum class Kind
    {
        Status,     // the broadcast status file
        Image,      // a GIF or JPG image, filed under a dated name
        Collection, // an hourly observation collection, extracted
        WebPage,    // an HTML page, filed under its own name
        Text        // a text bulletin, filed under its product key
    };

    Kind kind = Kind::Text;
    // The name as received: upper case, any "@" suffix included.
    QString receivedName;
    // The first 8 characters of the received name.
    QString productName;
    // The name the product is filed under in its directory: the product key
    // of a text product, the dated name of an image, the received name cut
    // at "@" otherwise.
    QString storedName;
    // Directory + storedName. A collection's archive may be gone once it has
    // been extracted.
    QString path;

    // Text products only.
    QString key;        // identifier padded to 9, "~", station, "~", state
    QString identifier; // the trimmed AWIPS identifier the alarms match
    QString station;
    QString ttaaii;
    QString heading;  // the WMO heading line as read
    QString listLine; // the line of the product lists

    // What alarm patterns are matched against: the identifier of a text
    // product, the product name of an image or collection.
    const QString& alarmText() const { return kind == Kind::Text ? identifier : productName; }
};
