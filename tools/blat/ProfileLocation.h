#pragma once

#include <QString>

// Where the mailer keeps its profile and log. In order:
//  1. the directory given with --config-dir;
//  2. the mailer's own directory when the profile file lies there (a mailer
//     copied into the program directory, or a prepared installation);
//  3. the program directory of the main program, $XDG_DATA_HOME/vantorel/
//     (default ~/.local/share/vantorel/), which is always writable by the user.
// The result ends in "/".
class ProfileLocation
{
public:
    static QString resolve(const QString& configDirOption, const QString& ownDir,
                           const QString& profileFileName);
    // $XDG_DATA_HOME/vantorel/ with its trailing "/".
    static QString userProgramDir();
    static QString withSlash(const QString& dir);
};
