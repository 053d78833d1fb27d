#pragma once

#include <QString>
#include <QStringList>

// The command line of the Internet engine.
class EngineOptions
{
public:
    QStringList servers; // --server HOST:PORT, repeatable: the only candidates this run
    QString dataIn;      // --data-in DIR, instead of the shared setting
    bool headless = false;
    int deadSeconds = 30;   // no data for this long: the connection is dead
    int logonSeconds = 180; // the logon is repeated this often
    bool showHelp = false;
    bool showVersion = false;
    QString error; // a bad option: the message to print

    static EngineOptions parse(const QStringList& arguments);
    static QString helpText();
};
