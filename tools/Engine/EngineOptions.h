#pragma once

#include "CommonEngineOptions.h"

#include <QStringList>

// The command line of the Internet engine.
class EngineOptions : public CommonEngineOptions
{
public:
    QStringList servers;    // --server HOST:PORT, repeatable: the only candidates this run
    int deadSeconds = 30;   // no data for this long: the connection is dead
    int logonSeconds = 180; // the logon is repeated this often

    static EngineOptions parse(const QStringList& arguments);
    static QString helpText();
};
