#pragma once

#include <QDateTime>
#include <QString>

// The general date-time form used in every message, subject and log line,
// e.g. "12/6/2026 6:27:51 PM".
class DateTimeText
{
public:
    static QString general(const QDateTime& when);
};
