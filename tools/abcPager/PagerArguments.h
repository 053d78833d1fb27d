#pragma once

#include <QString>
#include <QStringList>

// The pager's command line: "abcPager RECIPIENT:message" with optional
// settings before or after it.
class PagerArguments
{
public:
    enum class Mode
    {
        Page,
        Help,
        Version,
        Invalid
    };

    Mode mode = Mode::Invalid;
    QString error;
    QString recipient;
    QString message;
    QString configDir;
    QString port;
    QString dialPrefix;
    QString init;
    QString logFile;
    int speed = 0;
    int tries = 0;
    bool dryRun = false;

    // arguments[0] is the program name.
    static PagerArguments parse(const QStringList& arguments);
    static QString helpText();
};
