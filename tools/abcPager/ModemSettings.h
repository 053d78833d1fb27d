#pragma once

#include <QString>

// How the pager reaches the paging terminal: the serial port of the Hayes
// modem, its commands, the paging terminal's password, tries and time limits.
// Read from "abcPager.ini" ("Key=value" lines; "#" or ";" start a comment);
// a missing file or key keeps the default.
class ModemSettings
{
public:
    QString port = QStringLiteral("/dev/ttyS0");
    int speed = 0; // 0: the speed in users.ini / groups.ini
    QString init = QStringLiteral("ATE0V1Q0");
    QString dialPrefix = QStringLiteral("ATDT");
    QString password; // paging terminal log-on password, up to 6 characters
    int tries = 3;
    int retryWaitSeconds = 10;
    int connectTimeoutSeconds = 60;
    int replyTimeoutSeconds = 10;
    int guardMs = 1100;         // silence around the "+++" escape
    int queueWaitSeconds = 900; // how long a page waits while another uses the modem
    QString logFile;            // empty: abcPager-log.txt in the configuration directory

    static QString fileName();
    // Reads the file when it exists; false with a reason when it cannot be read.
    bool load(const QString& path, QString* error);
    void fromText(const QString& text);
};
