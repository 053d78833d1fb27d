#pragma once

#include "core/IMetarHooks.h"

// Observation hooks for a program without the METAR searches: every call is
// accepted and nothing happens.
class NoMetarHooks : public IMetarHooks
{
public:
    void GetHourly(const QString&, bool) override {}
    void GetOffHourly(const QString&, const QString&, bool) override {}
    void AlarmMetar(const QString&) override {}
};
