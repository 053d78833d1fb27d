#pragma once

#include <QString>
#include <atomic>
#include <cstdio>
#include <functional>

// One FTP download with libcurl: log in, fetch a file of the login directory
// into an open file, log out. Blocking; meant for a worker thread. The cancel
// flag is watched throughout (also while connecting), and a stalled server is
// given up after the stall time.
class FtpClient
{
public:
    struct Request
    {
        QString host;
        int port = 21;
        QString user;
        QString password;
        QString remoteName;
        int connectTimeoutSeconds = 30;
        // No byte and no server reply for this long ends the transfer.
        int stallSeconds = 60;
        // A larger file is refused, so that a server cannot fill the disk.
        qint64 maxBytes = qint64(1) << 30;
    };

    struct Result
    {
        enum class Kind
        {
            Ok,
            // No connection or no login: the server could not be reached.
            ConnectFailed,
            // The server refused or broke off the transfer, or sent too much.
            TransferFailed,
            // The local file could not be written.
            WriteFailed,
            Cancelled
        };
        Kind kind = Kind::Ok;
        int curlCode = 0;
        QString text; // the client's description of a failure
        qint64 bytes = 0;
        qint64 expected = -1; // the size the server announced, -1 when unknown
    };

    // The client's number for a file above the size limit.
    static constexpr int TooLargeCode = 63;

    // Called with the bytes received so far and the whole size (-1 unknown).
    using Progress = std::function<void(qint64 bytes, qint64 total)>;

    static Result fetch(const Request& request, std::FILE* out, const Progress& progress,
                        const std::atomic_bool& cancel);

    // Whether a failure of libcurl means the server was never reached or
    // never let us in; pretransfer says whether the transfer was about to begin.
    static bool isConnectFailure(int curlCode, bool pretransfer);
};
