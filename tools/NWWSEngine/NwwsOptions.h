#pragma once

#include "CommonEngineOptions.h"

#include <QString>

// The command line of the Weather Wire engine. The password is never taken
// here: it is read from nwws-password.txt in the program directory.
class NwwsOptions : public CommonEngineOptions
{
public:
    QString user;   // --user NAME, instead of the settings' (the configuration's test)
    QString server; // --server HOST:PORT
    QString caCert; // --ca-cert FILE
    int pingSeconds = 60;
    bool test = false; // --test: log in, join the room, say so, end

    static NwwsOptions parse(const QStringList& arguments);
    static QString helpText();
};
