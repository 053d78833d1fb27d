#include "ftp/FtpJob.h"

#include "ftp/DataInDelivery.h"
#include "ftp/IZipExtractor.h"
#include "ftp/ZipCheck.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

namespace {
std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

std::error_code lastError()
{
    return std::error_code(errno, std::generic_category());
}
} // namespace

FtpJob::FtpJob(Request request, IZipExtractor& extractor, const std::atomic_bool& cancel)
    : m_request(std::move(request)), m_extractor(extractor), m_cancel(cancel)
{
}

QString FtpJob::retryText(int n, int limit)
{
    return QStringLiteral("Permission denied - retry %1 of %2").arg(n).arg(limit);
}

int FtpJob::localErrorNumber(const std::error_code& error)
{
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system)
        return int(ErrorNumber::PermissionDenied);
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return int(ErrorNumber::PathNotFound);
    return int(ErrorNumber::PathFileAccess);
}

FtpResult FtpJob::failed(int number, const QString& description)
{
    FtpResult result;
    result.outcome = FtpResult::Outcome::Failed;
    result.number = number;
    result.description = description;
    return result;
}

FtpResult FtpJob::localFailure(const std::error_code& error, const QString& path)
{
    const int number = localErrorNumber(error);
    return failed(number, RuntimeError(ErrorNumber(number),
                                       path + QStringLiteral(": ") +
                                           QString::fromLocal8Bit(error.message().c_str()))
                              .text());
}

FtpResult FtpJob::run(const Observer& observer)
{
    const QString& receive = m_request.receiveDir;
    if (!QDir().mkpath(receive))
        return failed(int(ErrorNumber::PathNotFound),
                      RuntimeError(ErrorNumber::PathNotFound, receive).text());
    const QString download = receive + DownloadName;
    std::FILE* out = nullptr;
    const std::optional<FtpResult> opened = retrying(
        [&] {
            out = std::fopen(QFile::encodeName(download).constData(), "wb");
            return out ? std::error_code() : lastError();
        },
        download, observer);
    if (opened)
        return *opened;

    FtpResult result = fetchInto(out, download, observer);
    if (result.outcome == FtpResult::Outcome::Done) {
        if (const std::optional<FtpResult> notWhole = checkWhole(download))
            result = *notWhole;
    }
    if (result.outcome != FtpResult::Outcome::Done) {
        QFile::remove(download);
        return result;
    }
    const QString ingest = receive + IngestName;
    const std::optional<FtpResult> renamed = retrying(
        [&] {
            std::error_code error;
            std::filesystem::rename(fsPath(download), fsPath(ingest), error);
            return error;
        },
        ingest, observer);
    if (renamed) {
        QFile::remove(download);
        return *renamed;
    }
    if (observer.status)
        observer.status(QStringLiteral("Unzipping"));
    return unpack(result, ingest);
}

// A server that closes the data connection early and still answers 226,
// having told no size, leaves a file that looks complete to the client: the
// archive is read back whole before it may replace the last good set.
std::optional<FtpResult> FtpJob::checkWhole(const QString& download)
{
    const ZipCheck::Result check = ZipCheck::check(download, &m_cancel);
    if (check.whole)
        return std::nullopt;
    if (m_cancel.load()) {
        FtpResult cancelled;
        cancelled.outcome = FtpResult::Outcome::Cancelled;
        return cancelled;
    }
    return failed(PartialTransferNumber,
                  QStringLiteral("Transfer incomplete or damaged: %1 is not a whole archive (%2)")
                      .arg(m_request.ftp.remoteName, check.problem));
}

// Extracts the set into the private directory, then moves each product into
// Data-In without replacing one that waits there. What an earlier run left
// unpacked is delivered first.
FtpResult FtpJob::unpack(FtpResult result, const QString& ingest)
{
    const QString unpacked = m_request.receiveDir + UnpackName;
    if (const std::optional<FtpResult> left = deliverUnpacked(unpacked))
        return *left;
    if (!QDir().mkpath(unpacked))
        return failed(int(ErrorNumber::PathNotFound),
                      RuntimeError(ErrorNumber::PathNotFound, unpacked).text());
    result.unzipResult = m_extractor.Unzipit(ingest, unpacked);
    if (const std::optional<FtpResult> undelivered = deliverUnpacked(unpacked))
        return *undelivered;
    QDir().rmdir(unpacked);
    return result;
}

// Moves the files of the private directory into Data-In (hidden ones are an
// extraction's unfinished temporaries and are removed). Nothing when all went.
std::optional<FtpResult> FtpJob::deliverUnpacked(const QString& unpacked)
{
    const QDir dir(unpacked);
    if (!dir.exists())
        return std::nullopt;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(QLatin1Char('.')))
            QFile::remove(dir.filePath(name));
    }
    const QStringList names = dir.entryList(QDir::Files | QDir::System, QDir::Name);
    if (names.isEmpty())
        return std::nullopt;
    if (!QDir().mkpath(m_request.dataInDir))
        return failed(int(ErrorNumber::PathNotFound),
                      RuntimeError(ErrorNumber::PathNotFound, m_request.dataInDir).text());
    DataInDelivery delivery(m_request.dataInDir);
    for (const QString& name : names) {
        const DataInDelivery::Result moved = delivery.deliver(dir.filePath(name), name);
        if (moved.error)
            return localFailure(moved.error, m_request.dataInDir + name);
    }
    return std::nullopt;
}

// Fetches into the open file and closes it; Done only when every byte the
// server announced arrived and the file was written completely.
FtpResult FtpJob::fetchInto(std::FILE* out, const QString& download, const Observer& observer)
{
    const FtpClient::Result fetched =
        FtpClient::fetch(m_request.ftp, out, observer.progress, m_cancel);
    const bool flushed = std::fflush(out) == 0;
    const std::error_code flushError = flushed ? std::error_code() : lastError();
    const bool closed = std::fclose(out) == 0 && flushed;

    FtpResult result;
    result.bytes = fetched.bytes;
    using Kind = FtpClient::Result::Kind;
    if (fetched.kind == Kind::Cancelled || m_cancel.load()) {
        result.outcome = FtpResult::Outcome::Cancelled;
        return result;
    }
    if (fetched.kind == Kind::ConnectFailed) {
        result.outcome = FtpResult::Outcome::ConnectFailed;
        result.number = ConnectFailedNumber;
        result.description = fetched.text;
        return result;
    }
    if (fetched.kind == Kind::WriteFailed || !closed)
        return localFailure(flushError ? flushError : std::make_error_code(std::errc::io_error),
                            download);
    if (fetched.kind == Kind::TransferFailed)
        return failed(fetched.curlCode, fetched.text + QStringLiteral(" (") +
                                            m_request.ftp.remoteName + QLatin1Char(')'));
    if (fetched.expected >= 0 && fetched.bytes != fetched.expected)
        return failed(PartialTransferNumber,
                      QStringLiteral("Transfer incomplete: %1 of %2 bytes received (%3)")
                          .arg(fetched.bytes)
                          .arg(fetched.expected)
                          .arg(m_request.ftp.remoteName));
    return result;
}

// Runs a local file step; a permission failure is retried up to the limit,
// each retry shown. Nothing when the step succeeded.
std::optional<FtpResult> FtpJob::retrying(const Step& step, const QString& path,
                                          const Observer& observer)
{
    for (int attempt = 0;; ++attempt) {
        const std::error_code error = step();
        if (!error)
            return std::nullopt;
        const bool permission = localErrorNumber(error) == int(ErrorNumber::PermissionDenied);
        if (!permission || attempt >= m_request.retryLimit)
            return localFailure(error, path);
        if (observer.status)
            observer.status(retryText(attempt + 1, m_request.retryLimit));
        if (!pause()) {
            FtpResult cancelled;
            cancelled.outcome = FtpResult::Outcome::Cancelled;
            return cancelled;
        }
    }
}

// Waits the retry delay; false when cancelled meanwhile.
bool FtpJob::pause()
{
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(m_request.retryDelayMs);
    while (std::chrono::steady_clock::now() < end) {
        if (m_cancel.load())
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !m_cancel.load();
}
