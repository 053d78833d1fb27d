#pragma once

#include <QString>

// What every ingest engine's command line says: where to write, whether
// with a window, help and version, and a bad option's message. Each engine's
// options extend it with their own.
struct CommonEngineOptions
{
    QString dataIn; // --data-in DIR, instead of the shared setting
    bool headless = false;
    bool showHelp = false;
    bool showVersion = false;
    QString error; // a bad option: the message to print
};
