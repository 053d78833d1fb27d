#include "ftp/FtpClient.h"

#include <curl/curl.h>
#include <memory>
#include <mutex>

static_assert(FtpClient::TooLargeCode == CURLE_FILESIZE_EXCEEDED);

namespace {
struct Transfer
{
    std::FILE* out = nullptr;
    const FtpClient::Progress* progress = nullptr;
    const std::atomic_bool* cancel = nullptr;
    qint64 maxBytes = 0;
    qint64 bytes = 0;
    bool writeFailed = false;
    bool tooLarge = false;
};

size_t onData(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->cancel->load())
        return 0;
    if (t->bytes + qint64(n) > t->maxBytes) {
        t->tooLarge = true;
        return 0;
    }
    if (std::fwrite(data, 1, n, t->out) != n) {
        t->writeFailed = true;
        return 0;
    }
    t->bytes += qint64(n);
    return n;
}

int onProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t, curl_off_t)
{
    auto* t = static_cast<Transfer*>(user);
    if (t->cancel->load())
        return 1;
    if (*t->progress && now > 0)
        (*t->progress)(qint64(now), total > 0 ? qint64(total) : -1);
    return 0;
}

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter
{
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct UrlDeleter
{
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// The URL is built from its parts, so no part can change another.
std::unique_ptr<CURLU, UrlDeleter> buildUrl(const FtpClient::Request& r)
{
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    const QByteArray host = r.host.contains(QLatin1Char(':'))
                                ? QByteArray("[") + r.host.toUtf8() + "]"
                                : r.host.toUtf8();
    const QByteArray path = "/" + r.remoteName.toUtf8();
    if (!url || curl_url_set(url.get(), CURLUPART_SCHEME, "ftp", 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_HOST, host.constData(), 0) != CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PORT, QByteArray::number(r.port).constData(), 0) !=
            CURLUE_OK ||
        curl_url_set(url.get(), CURLUPART_PATH, path.constData(), CURLU_URLENCODE) != CURLUE_OK)
        return nullptr;
    return url;
}
} // namespace

bool FtpClient::isConnectFailure(int curlCode, bool pretransfer)
{
    switch (curlCode) {
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_LOGIN_DENIED:
        return true;
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        // Lost before the transfer began: the server never let us in.
        return !pretransfer;
    default:
        return false;
    }
}

FtpClient::Result FtpClient::fetch(const Request& request, std::FILE* out, const Progress& progress,
                                   const std::atomic_bool& cancel)
{
    globalInit();
    Result result;
    Transfer transfer{out, &progress, &cancel, request.maxBytes};
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    std::unique_ptr<CURLU, UrlDeleter> url = buildUrl(request);
    if (!curl || !url) {
        result.kind = Result::Kind::ConnectFailed;
        result.curlCode = CURLE_URL_MALFORMAT;
        result.text = QStringLiteral("Bad server address");
        return result;
    }
    CURL* c = curl.get();
    const QByteArray user = request.user.toUtf8();
    const QByteArray password = request.password.toUtf8();
    char error[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_CURLU, url.get());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(c, CURLOPT_USERNAME, user.constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(request.connectTimeoutSeconds));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(request.stallSeconds));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, long(request.stallSeconds));
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(request.maxBytes));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(c);
    result.bytes = transfer.bytes;
    curl_off_t expected = -1;
    if (curl_easy_getinfo(c, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &expected) == CURLE_OK)
        result.expected = expected >= 0 ? qint64(expected) : -1;
    result.curlCode = transfer.tooLarge ? CURLE_FILESIZE_EXCEEDED : code;
    if (code == CURLE_OK)
        return result;
    result.text = QString::fromUtf8(
        error[0] && !transfer.tooLarge ? error : curl_easy_strerror(CURLcode(result.curlCode)));
    curl_off_t pretransfer = 0;
    curl_easy_getinfo(c, CURLINFO_PRETRANSFER_TIME_T, &pretransfer);
    if (cancel.load())
        result.kind = Result::Kind::Cancelled;
    else if (transfer.writeFailed)
        result.kind = Result::Kind::WriteFailed;
    else if (isConnectFailure(code, pretransfer > 0))
        result.kind = Result::Kind::ConnectFailed;
    else
        result.kind = Result::Kind::TransferFailed;
    return result;
}
