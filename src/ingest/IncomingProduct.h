#pragma once

#include <QString>

// A file as listed in the Data-In directory, and the names taken from it.
struct IncomingProduct
{
    QString original; // the name as listed: addresses the file
    QString received; // upper case, with any "@" suffix
    QString fileName; // received name cut at the first "@"
    QString productName;
    QString state;

    static IncomingProduct describe(const QString& listedName)
    {
        IncomingProduct p;
        p.original = listedName;
        p.received = listedName.toUpper();
        const qsizetype at = p.received.indexOf(QLatin1Char('@'));
        p.fileName = at < 0 ? p.received : p.received.left(at);
        p.productName = p.received.left(8);
        p.state = p.fileName.mid(6, 2);
        return p;
    }
};
