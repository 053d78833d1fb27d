#pragma once

#include <QString>

// Where the pager keeps users.ini, groups.ini, abcPager.ini and its log. In order:
//  1. the directory given with --config-dir;
//  2. the pager's own directory when users.ini or groups.ini lies there (a
//     pager copied into the program directory, or a prepared installation);
//  3. the program directory of the main program, $XDG_DATA_HOME/vantorel/
//     (default ~/.local/share/vantorel/), where its setup dialogs write them.
// The result ends in "/".
class PagerFilesLocation
{
public:
    static QString resolve(const QString& configDirOption, const QString& ownDir);
    // $XDG_DATA_HOME/vantorel/ with its trailing "/".
    static QString userProgramDir();
    static QString withSlash(const QString& dir);
};
