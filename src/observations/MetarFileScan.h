#pragma once

#include "platform/RuntimeError.h"

#include <QString>

class MetarCollector;

// Runs the report collection over one observation file. The file is read
// only up to a limit, so that a damaged or runaway file cannot hold the
// search up; a realistic hourly collection is about 2 MB.
class MetarFileScan
{
public:
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    enum class Status
    {
        Read,      // the file was searched
        NotFound,  // no such file (it may have vanished since it was listed)
        Unreadable // there, but it could not be opened or read, or is no plain file
    };

    struct Result
    {
        Status status = Status::Read;
        QString reports;                // the collected reports, each followed by CR LF
        bool endedInsideReport = false; // the last report has no closing "="
        bool truncated = false;         // only the first MaxBytes were searched
        ErrorNumber error = ErrorNumber::FileNotFound;
        QString errorDetail;
    };

    static Result scan(const QString& path, const MetarCollector& collector,
                       qint64 maxBytes = MaxBytes);

    // A note line (without line end) for a file that was not searched whole,
    // empty when the file was read completely. name is shown as given.
    static QString note(const QString& name, const Result& result);
};
