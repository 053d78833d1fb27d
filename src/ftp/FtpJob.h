#pragma once

#include "ftp/FtpClient.h"
#include "ftp/FtpResult.h"

#include <QString>
#include <atomic>
#include <functional>
#include <optional>
#include <system_error>

class IZipExtractor;

// One download of a product set, start to end, on the calling thread: the set
// is fetched into the receive directory as "download.zip", renamed to
// "FTPIngest.ZIP" (replacing the previous set) only when it arrived whole and
// every member reads back with its checksum, and extracted into the Data-In
// directory through a private directory, so that a product still waiting in
// Data-In is never replaced (the new one arrives as NAME.EXT@n). A failed or
// cancelled download leaves nothing behind; a local permission failure is
// retried a bounded number of times, each retry announced.
class FtpJob
{
public:
    static inline const QString DownloadName = QStringLiteral("download.zip");
    static inline const QString IngestName = QStringLiteral("FTPIngest.ZIP");
    // The private directory of the receive directory the set is unpacked into.
    static inline const QString UnpackName = QStringLiteral("unpacked/");
    // The error number of a failed connection.
    static constexpr int ConnectFailedNumber = 35754;
    // The error number of a transfer that ended early or a set not whole.
    static constexpr int PartialTransferNumber = 18;

    struct Request
    {
        FtpClient::Request ftp;
        QString receiveDir; // ends in "/"
        QString dataInDir;  // ends in "/"
        int retryLimit = 3;
        int retryDelayMs = 1000;
    };

    struct Observer
    {
        std::function<void(const QString&)> status;
        FtpClient::Progress progress;
    };

    FtpJob(Request request, IZipExtractor& extractor, const std::atomic_bool& cancel);

    FtpResult run(const Observer& observer);

    // The text shown before retry n of limit after a permission failure.
    static QString retryText(int n, int limit);
    // The error number of a local file failure: 70 permission denied,
    // 76 path not found, 75 any other.
    static int localErrorNumber(const std::error_code& error);

private:
    using Step = std::function<std::error_code()>;

    std::optional<FtpResult> retrying(const Step& step, const QString& path,
                                      const Observer& observer);
    FtpResult fetchInto(std::FILE* out, const QString& download, const Observer& observer);
    std::optional<FtpResult> checkWhole(const QString& download);
    FtpResult unpack(FtpResult result, const QString& ingest);
    std::optional<FtpResult> deliverUnpacked(const QString& unpacked);
    bool pause();
    static FtpResult failed(int number, const QString& description);
    static FtpResult localFailure(const std::error_code& error, const QString& path);

    Request m_request;
    IZipExtractor& m_extractor;
    const std::atomic_bool& m_cancel;
};
