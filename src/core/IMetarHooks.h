#pragma once

#include <QString>

// The observation searches that product processing and extraction trigger
// when METAR collections arrive.
class IMetarHooks
{
public:
    virtual ~IMetarHooks() = default;
    // Latest reports of the stations from the hourly collection.
    virtual void GetHourly(const QString& stations, bool displayIt) = 0;
    // Latest reports of the stations from a filed off-hour product.
    virtual void GetOffHourly(const QString& stations, const QString& productKey,
                              bool displayIt) = 0;
    // Checks the found reports against the METAR or SPECI alarm ("METAR"/"SPECI").
    virtual void AlarmMetar(const QString& kind) = 0;
};
