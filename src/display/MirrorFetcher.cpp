#include "display/MirrorFetcher.h"

#include <QNetworkAccessManager>

#include <QNetworkRequest>

MirrorFetcher::MirrorFetcher(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this))
{
}

MirrorFetcher::~MirrorFetcher()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

MirrorFetcher::Verdict MirrorFetcher::classify(const QByteArray& body)
{
    if (body.trimmed().isEmpty())
        return Verdict::Empty;
    if (body.contains('\0'))
        return Verdict::Binary;
    // Broadcast texts carry SOH, ETX and RS besides the usual white space.
    qsizetype control = 0;
    for (const char c : body) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\r' && u != '\n' && u != '\t' && u != '\f' && u != 0x01 &&
             u != 0x03 && u != 0x1e) ||
            u == 0x7f)
            ++control;
    }
    if (control * 10 > body.size())
        return Verdict::Binary;
    if (body.contains("page cannot be found"))
        return Verdict::NotFoundPage;
    return Verdict::Found;
}

void MirrorFetcher::fetch(const QUrl& url)
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    m_body.clear();
    m_abortReason.clear();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    request.setTransferTimeout(m_timeoutMs);
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > MaxBytes) {
            m_abortReason = QStringLiteral("reply larger than 5 MB");
            m_reply->abort();
        }
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &MirrorFetcher::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &MirrorFetcher::onFinished);
}

void MirrorFetcher::onReadyRead()
{
    if (!m_reply || !m_abortReason.isEmpty())
        return;
    m_body += m_reply->readAll();
    if (m_body.size() > MaxBytes) {
        m_abortReason = QStringLiteral("reply larger than 5 MB");
        m_body.clear();
        m_reply->abort();
    }
}

void MirrorFetcher::fail(const QString& reason)
{
    m_body.clear();
    emit finished(false, QByteArray(), reason);
}

void MirrorFetcher::onFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();
    if (!m_abortReason.isEmpty()) {
        fail(m_abortReason);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        fail(status > 0 ? QStringLiteral("HTTP error %1").arg(status) : reply->errorString());
        return;
    }
    m_body += reply->readAll();
    if (m_body.size() > MaxBytes) {
        fail(QStringLiteral("reply larger than 5 MB"));
        return;
    }
    switch (classify(m_body)) {
    case Verdict::Found:
        emit finished(true, m_body, QString());
        m_body.clear();
        return;
    case Verdict::Empty:
        fail(QStringLiteral("empty reply"));
        return;
    case Verdict::NotFoundPage:
        fail(QStringLiteral("page cannot be found"));
        return;
    case Verdict::Binary:
        fail(QStringLiteral("not a text product"));
        return;
    }
}
