#pragma once

#include <QString>

// The command line of the broadcast (serial) engine.
class VTIngestOptions
{
public:
    QString port;   // --port DEVICE, instead of the port of the settings
    int baud = 0;   // --baud N; 0: the settings' speed
    QString dataIn; // --data-in DIR, instead of the shared setting
    bool headless = false;
    bool showHelp = false;
    bool showVersion = false;
    QString error;

    static VTIngestOptions parse(const QStringList& arguments);
    static QString helpText();
};
