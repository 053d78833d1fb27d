#pragma once

#include "product/ProductName.h"

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
        if (const std::optional<ProductName> name = ProductName::parse(listedName)) {
            p.received = name->received();
            p.fileName = name->fileName();
            p.productName = name->name();
            p.state = name->state();
        }
        return p;
    }
};
