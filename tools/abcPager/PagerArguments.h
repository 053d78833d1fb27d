#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The pager's command line: "abcPager RECIPIENT:message" with optional
// settings before or after it; further pages of the same run as
// "--page=RECIPIENT:message", and "--report FILE" for each page's result.
class PagerArguments
{
public:
    // Most pages one run takes.
    static constexpr int MaxPages = 100;

    struct Request
    {
        QString recipient;
        QString message;
    };

    enum class Mode
    {
        Page,
        Help,
        Version,
        Invalid
    };

    Mode mode = Mode::Invalid;
    QString error;
    QList<Request> pages; // in the order given, the RECIPIENT:message argument first
    QString configDir;
    QString port;
    QString dialPrefix;
    QString init;
    QString logFile;
    QString reportFile;
    int speed = 0;
    int tries = 0;
    bool dryRun = false;

    // arguments[0] is the program name.
    static PagerArguments parse(const QStringList& arguments);
    static QString helpText();
};
