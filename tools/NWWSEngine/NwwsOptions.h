#pragma once

#include <QString>

// The command line of the Weather Wire engine. The password is never taken
// here: it is read from nwws-password.txt in the program directory.
class NwwsOptions
{
public:
    QString dataIn; // --data-in DIR, instead of the shared setting
    QString user;   // --user NAME, instead of the settings' (the configuration's test)
    QString server; // --server HOST:PORT
    QString caCert; // --ca-cert FILE
    int pingSeconds = 60;
    bool test = false; // --test: log in, join the room, say so, end
    bool headless = false;
    bool showHelp = false;
    bool showVersion = false;
    QString error;

    static NwwsOptions parse(const QStringList& arguments);
    static QString helpText();
};
