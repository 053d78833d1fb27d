#pragma once

#include <QString>

// Runs every alarm definition against a filed product and hands each match
// on for dispatch.
class IAlarmLoops
{
public:
    virtual ~IAlarmLoops() = default;
    // Text products: the trimmed AWIPS identifier and the product key.
    virtual void matchIdentifier(const QString& identifier, const QString& productKey) = 0;
    // Images and hourly collections: the 8-character product name and the
    // name the product was filed under.
    virtual void matchProductName(const QString& productName, const QString& fullPathName) = 0;
};
