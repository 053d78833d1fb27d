#pragma once

#include <QString>

// How one download ended.
struct FtpResult
{
    enum class Outcome
    {
        // Fetched, renamed and handed to extraction (see unzipResult).
        Done,
        // The server could not be reached or did not let us in.
        ConnectFailed,
        // Any other failure; number and description say which.
        Failed,
        // Stopped because the dialog closed; nothing was kept.
        Cancelled
    };
    Outcome outcome = Outcome::Done;
    int number = 0;
    QString description;
    // Done: 0, or the error number of the extraction.
    int unzipResult = 0;
    qint64 bytes = 0;
};
