#include "blat/SmtpClient.h"

#include <QRegularExpression>
#include <QSysInfo>
#include <curl/curl.h>
#include <mutex>

namespace {
// Deliver to the recipients the server accepts even when it refuses some.
// (libcurl before 8.2 spells the option with three L.)
#if LIBCURL_VERSION_NUM >= 0x080200
const CURLoption kAllowRecipientFailures = CURLOPT_MAIL_RCPT_ALLOWFAILS;
#else
const CURLoption kAllowRecipientFailures = CURLOPT_MAIL_RCPT_ALLLOWFAILS;
#endif

struct Upload
{
    const QByteArray* data = nullptr;
    qsizetype offset = 0;
    bool ended = false; // all handed over: libcurl sends the end of data next
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* upload = static_cast<Upload*>(user);
    const qsizetype room = static_cast<qsizetype>(size * count);
    const qsizetype left = upload->data->size() - upload->offset;
    const qsizetype n = std::min(room, left);
    if (n <= 0 && room > 0)
        upload->ended = true;
    if (n > 0)
        memcpy(buffer, upload->data->constData() + upload->offset, static_cast<size_t>(n));
    upload->offset += n;
    return static_cast<size_t>(n);
}

struct Dialogue
{
    QString text;
    bool loginFollows = false;
    const Upload* upload = nullptr;
    bool repliedAfterEnd = false; // the server answered the end of data
};

// Keeps the SMTP commands and replies; login exchanges are replaced by a
// marker so that no credential reaches a log.
int recordDialogue(CURL*, curl_infotype type, char* data, size_t size, void* user)
{
    auto* dialogue = static_cast<Dialogue*>(user);
    if (type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT)
        return 0;
    QString line = QString::fromLatin1(data, static_cast<qsizetype>(size)).trimmed();
    if (type == CURLINFO_HEADER_OUT) {
        if (line.startsWith(QLatin1String("AUTH"), Qt::CaseInsensitive)) {
            line = QStringLiteral("AUTH (login data not logged)");
            dialogue->loginFollows = true;
        } else if (dialogue->loginFollows) {
            line = QStringLiteral("(login data not logged)");
        }
        dialogue->text += QStringLiteral("> ") + line + QLatin1Char('\n');
        return 0;
    }
    if (!line.startsWith(QLatin1String("334")))
        dialogue->loginFollows = false;
    if (dialogue->upload && dialogue->upload->ended)
        dialogue->repliedAfterEnd = true;
    for (const QString& part : line.split(QLatin1Char('\n')))
        dialogue->text += QStringLiteral("< ") + part.trimmed() + QLatin1Char('\n');
    return 0;
}

void globalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QByteArray angled(const QString& address)
{
    return "<" + address.toLatin1() + ">";
}
} // namespace

QString SmtpClient::greetName()
{
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9.-]{0,252}$"));
    const QString name = QSysInfo::machineHostName();
    return hostName.match(name).hasMatch() ? name : QStringLiteral("localhost");
}

QString SmtpClient::url(const QString& server, int port, const QString& greetName)
{
    QString scheme = QStringLiteral("smtp");
    QString host = server.trimmed();
    for (const QString& prefix : {QStringLiteral("smtp://"), QStringLiteral("smtps://")}) {
        if (host.startsWith(prefix, Qt::CaseInsensitive)) {
            scheme = prefix.left(prefix.size() - 3).toLower();
            host = host.mid(prefix.size());
        }
    }
    const qsizetype slash = host.indexOf(QLatin1Char('/'));
    if (slash >= 0)
        host.truncate(slash);
    // "host:port" names its own port.
    static const QRegularExpression hostPort(
        QStringLiteral("^([^:\\[\\]]+|\\[[^\\]]*\\]):(\\d+)$"));
    const auto withPort = hostPort.match(host);
    if (withPort.hasMatch()) {
        host = withPort.captured(1);
        port = withPort.captured(2).toInt();
    }
    if (host.count(QLatin1Char(':')) > 1 && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']'); // a bare IPv6 address
    return scheme + QStringLiteral("://") + host + QLatin1Char(':') + QString::number(port) +
           QLatin1Char('/') + greetName;
}

QStringList SmtpClient::rejectedRecipients(const QString& transcript)
{
    static const QRegularExpression rcpt(QStringLiteral("^> RCPT TO:<([^>]*)>"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression reply(QStringLiteral("^< (\\d{3})( |$)"));
    QStringList rejected;
    QString pending;
    for (const QString& line : transcript.split(QLatin1Char('\n'))) {
        const auto command = rcpt.match(line);
        if (command.hasMatch()) {
            pending = command.captured(1);
            continue;
        }
        if (line.startsWith(QLatin1String("> ")))
            pending.clear();
        const auto answer = reply.match(line);
        if (answer.hasMatch() && !pending.isEmpty()) {
            if (!answer.captured(1).startsWith(QLatin1Char('2')))
                rejected << pending;
            pending.clear();
        }
    }
    return rejected;
}

bool SmtpClient::holdsLogin(const QString& server)
{
    // A host name never holds "@".
    return server.contains(QLatin1Char('@'));
}

bool SmtpClient::sameServer(const QString& a, const QString& b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool SmtpClient::isTransient(int curlCode, long responseCode)
{
    if (responseCode >= 500)
        return false;
    if (responseCode >= 400)
        return true;
    switch (curlCode) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_WEIRD_SERVER_REPLY:
        return true;
    default:
        return false;
    }
}

SmtpClient::Result SmtpClient::send(const Job& job) const
{
    globalInit();
    Result result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("cannot start the mail transfer");
        result.transient = true;
        return result;
    }
    const QByteArray urlText = url(job.server, job.port, greetName()).toUtf8();
    const QByteArray from = angled(job.from);
    const QByteArray user = job.user.toUtf8();
    const QByteArray password = job.password.toUtf8();
    const QByteArray caFile = job.caCertFile.toLocal8Bit();
    curl_slist* recipients = nullptr;
    for (const QString& address : job.recipients)
        recipients = curl_slist_append(recipients, angled(address).constData());
    Upload upload{&job.message, 0, false};
    Dialogue dialogue;
    dialogue.upload = &upload;
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, urlText.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, kAllowRecipientFailures, 1L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    // Credentials never travel in the clear: a login requires TLS.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, job.user.isEmpty() ? CURLUSESSL_TRY : CURLUSESSL_ALL);
    if (!job.user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    if (!job.caCertFile.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(job.connectTimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(job.totalTimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_IGNORED));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, recordDialogue);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &dialogue);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.responseCode);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);

    result.transcript = dialogue.text;
    result.rejected = rejectedRecipients(dialogue.text);
    result.sent = code == CURLE_OK;
    if (!result.sent) {
        const QString detail = QString::fromLocal8Bit(errorText).trimmed();
        result.error = detail.isEmpty() ? QString::fromLatin1(curl_easy_strerror(code)) : detail;
        if (code == CURLE_PEER_FAILED_VERIFICATION)
            result.error += QStringLiteral(" (to trust the server's certificate, add "
                                           "-cacert FILE to blat-output.txt)");
        else if (code == CURLE_USE_SSL_FAILED)
            result.error += QStringLiteral(" (the server offers no TLS; a login is only "
                                           "sent over TLS)");
        result.transient = isTransient(code, result.responseCode);
        if (upload.ended && !dialogue.repliedAfterEnd) {
            result.deliveryUnknown = true;
            result.transient = false;
        }
    }
    return result;
}
