#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;

// Fetches one text product from an Internet mirror without blocking the
// window thread. A reply counts as found only when it is a successful,
// non-empty text page of at most MaxBytes that is not the mirror's
// "page cannot be found" page.
class MirrorFetcher : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 MaxBytes = 5 * 1024 * 1024;
    static constexpr int MaxRedirects = 5;
    static constexpr int DefaultTimeoutMs = 30000;

    enum class Verdict
    {
        Found,
        Empty,
        NotFoundPage,
        Binary
    };

    explicit MirrorFetcher(QObject* parent = nullptr);
    ~MirrorFetcher() override;

    // Starts a fetch; a fetch still running is abandoned.
    void fetch(const QUrl& url);
    bool busy() const { return m_reply != nullptr; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // Content checks of a complete reply body.
    static Verdict classify(const QByteArray& body);

signals:
    // found: body holds the product text. Otherwise reason says why not.
    void finished(bool found, const QByteArray& body, const QString& reason);

private:
    void onReadyRead();
    void onFinished();
    void fail(const QString& reason);

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QByteArray m_body;
    QString m_abortReason;
    int m_timeoutMs = DefaultTimeoutMs;
};
