#pragma once

#include "CommonEngineOptions.h"

#include <QString>

// The command line of the broadcast (serial) engine.
class VTIngestOptions : public CommonEngineOptions
{
public:
    QString port; // --port DEVICE, instead of the port of the settings
    int baud = 0; // --baud N; 0: the settings' speed

    static VTIngestOptions parse(const QStringList& arguments);
    static QString helpText();
};
