#pragma once

#include "core/Settings.h"
#include "product/FiledProduct.h"

// A product as ingest hands it to the alarms, told by the name it was filed
// under: a dated image, an hourly collection, a web page or a text product
// (under its key). alarmText is the identifier of a text product, the product
// name of the others.
inline FiledProduct filedProductOf(const Settings& settings, const QString& storedName,
                                   const QString& alarmText)
{
    FiledProduct p;
    p.storedName = storedName;
    p.receivedName = storedName;
    p.productName = alarmText;
    if (storedName.contains(QLatin1String(".GIF")) || storedName.contains(QLatin1String(".JPG"))) {
        p.kind = FiledProduct::Kind::Image;
        p.path = settings.GIFPath + storedName;
    } else if (storedName.contains(QLatin1String(".Z"))) {
        p.kind = FiledProduct::Kind::Collection;
        p.path = settings.SAPath + storedName;
    } else if (storedName.contains(QLatin1String(".HTM"))) {
        p.kind = FiledProduct::Kind::WebPage;
        p.path = settings.TextPath + storedName;
    } else {
        p.kind = FiledProduct::Kind::Text;
        p.path = settings.TextPath + storedName;
        p.key = storedName;
        p.identifier = alarmText;
    }
    return p;
}
