#include "ftp/FtpDownload.h"

#include "core/Settings.h"
#include "ftp/FtpJob.h"
#include "ftp/FtpServerAddress.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <algorithm>

namespace {
struct RemoteSet
{
    int index;
    const char* baseName;
};

// The buttons that name a set: Text and Images, 15 minutes, 1 hour, 3 hours.
constexpr RemoteSet kRemoteSets[] = {{2, "FIFTEEN"},  {3, "ONETEXT"},  {4, "THREETXT"},
                                     {5, "IMAGEGIF"}, {6, "ONEIMAGE"}, {7, "THREEIMG"}};

int percentOf(qint64 bytes, qint64 total)
{
    return int(std::clamp<qint64>(bytes * 100 / total, 0, 100));
}

// Progress of the worker, passed on when the percent changes, or at most
// five times a second while the size is unknown. Used by the worker only.
class ProgressThrottle
{
public:
    bool due(qint64 bytes, qint64 total)
    {
        if (total > 0) {
            const int percent = percentOf(bytes, total);
            if (percent == m_percent)
                return false;
            m_percent = percent;
            return true;
        }
        if (m_timer.isValid() && m_timer.elapsed() < 200)
            return false;
        m_timer.start();
        return true;
    }

private:
    int m_percent = -1;
    QElapsedTimer m_timer;
};
} // namespace

FtpDownload::FtpDownload(QString programDir, Settings& settings, SettingsStore& store,
                         IPrompter& prompter, IZipExtractor& extractor, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir)), m_settings(settings), m_store(store),
      m_prompter(prompter), m_extractor(extractor)
{
    // One worker: a download started after a cancelled one waits for it.
    m_pool.setMaxThreadCount(1);
    qRegisterMetaType<FtpResult>("FtpResult");
}

FtpDownload::~FtpDownload()
{
    if (m_cancel)
        m_cancel->store(true);
    m_pool.waitForDone();
}

QString FtpDownload::remoteBaseName(int index)
{
    for (const RemoteSet& set : kRemoteSets) {
        if (set.index == index)
            return QLatin1String(set.baseName);
    }
    return QString();
}

QString FtpDownload::receiveDir() const
{
    return m_programDir + QStringLiteral("track/rcv/");
}

QString FtpDownload::dialogOpened()
{
    if (!m_busy) {
        m_status = Idle;
        setProgress(0);
    }
    return m_settings.FTPServer;
}

void FtpDownload::setServer(const QString& text)
{
    m_settings.FTPServer = text;
}

void FtpDownload::setTimeouts(int connectSeconds, int stallSeconds)
{
    m_connectSeconds = connectSeconds;
    m_stallSeconds = stallSeconds;
}

void FtpDownload::setRetries(int limit, int delayMs)
{
    m_retryLimit = limit;
    m_retryDelayMs = delayMs;
}

void FtpDownload::setStatus(const QString& text)
{
    m_status = text;
    emit statusChanged(text);
}

void FtpDownload::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = percent;
    emit progressChanged(percent);
}

void FtpDownload::download(int set)
{
    if (m_busy) {
        setStatus(AlreadyActive);
        return;
    }
    const QString base = remoteBaseName(set);
    if (base.isEmpty())
        return; // the button names no set and cannot be pressed
    setStatus(Standby);
    m_busy = true;
    setStatus(Downloading);
    start(base + QStringLiteral(".ZIP"));
}

void FtpDownload::start(const QString& remoteName)
{
    const std::optional<FtpServerAddress> address = FtpServerAddress::parse(m_settings.FTPServer);
    const quint64 job = ++m_job;
    if (!address) {
        FtpResult result;
        result.outcome = FtpResult::Outcome::ConnectFailed;
        result.number = FtpJob::ConnectFailedNumber;
        onFinished(job, result);
        return;
    }
    FtpJob::Request request;
    request.ftp.host = address->host;
    request.ftp.port = address->port;
    request.ftp.user = User;
    request.ftp.password = Password;
    request.ftp.remoteName = remoteName;
    request.ftp.connectTimeoutSeconds = m_connectSeconds;
    request.ftp.stallSeconds = m_stallSeconds;
    request.receiveDir = receiveDir();
    request.dataInDir = m_settings.TransferPath;
    if (!request.dataInDir.endsWith(QLatin1Char('/')))
        request.dataInDir += QLatin1Char('/');
    request.retryLimit = m_retryLimit;
    request.retryDelayMs = m_retryDelayMs;

    m_cancel = std::make_shared<std::atomic_bool>(false);
    std::shared_ptr<std::atomic_bool> cancel = m_cancel;
    IZipExtractor& extractor = m_extractor;
    m_pool.start([this, job, request, cancel, &extractor] {
        auto throttle = std::make_shared<ProgressThrottle>();
        FtpJob::Observer observer;
        observer.status = [this, job](const QString& text) {
            QMetaObject::invokeMethod(
                this, [this, job, text] { onStatus(job, text); }, Qt::QueuedConnection);
        };
        observer.progress = [this, job, throttle](qint64 bytes, qint64 total) {
            if (!throttle->due(bytes, total))
                return;
            QMetaObject::invokeMethod(
                this, [this, job, bytes, total] { onProgress(job, bytes, total); },
                Qt::QueuedConnection);
        };
        const FtpResult result = FtpJob(request, extractor, *cancel).run(observer);
        QMetaObject::invokeMethod(
            this, [this, job, result] { onFinished(job, result); }, Qt::QueuedConnection);
    });
}

void FtpDownload::onStatus(quint64 job, const QString& text)
{
    if (job == m_job && m_busy)
        setStatus(text);
}

void FtpDownload::onProgress(quint64 job, qint64 bytes, qint64 total)
{
    if (job != m_job || !m_busy)
        return;
    if (total > 0) {
        const int percent = percentOf(bytes, total);
        setProgress(percent);
        setStatus(QStringLiteral("Downloaded: ") + QString::number(percent) + QLatin1Char('%'));
    } else {
        setStatus(QStringLiteral("Downloaded: ") + QString::number(bytes) +
                  QStringLiteral(" bytes"));
    }
}

void FtpDownload::onFinished(quint64 job, const FtpResult& result)
{
    // A download cancelled by closing the dialog ends unseen.
    if (job != m_job || !m_busy)
        return;
    m_busy = false;
    setProgress(0);
    switch (result.outcome) {
    case FtpResult::Outcome::Done:
        // A set that could not be extracted is not reported as done.
        setStatus(result.unzipResult == 0
                      ? Done
                      : QStringLiteral("Unzip error #") + QString::number(result.unzipResult));
        break;
    case FtpResult::Outcome::ConnectFailed:
        setStatus(UnableToConnect);
        break;
    case FtpResult::Outcome::Failed:
        m_prompter.message(QString::number(result.number) + QStringLiteral(" - ") +
                               result.description,
                           QString(), IPrompter::Icon::None);
        setStatus(FtpFailed);
        break;
    case FtpResult::Outcome::Cancelled:
        setStatus(Idle);
        break;
    }
    emit finished(result);
}

void FtpDownload::dialogClosing()
{
    if (m_cancel)
        m_cancel->store(true);
    m_busy = false;
    setProgress(0);
    m_settings.store(m_store, Settings::Key::FTPServer);
    m_store.sync();
}
