#include "NwwsEngine.h"

#include "NwwsProductText.h"
#include "core/NwwsSettings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kPasswordCheckMs = 5000;
constexpr int kStampMs = 10000;
} // namespace

NwwsEngine::NwwsEngine(Config config, OfficeStates offices, QObject* parent)
    : QObject(parent), m_config(std::move(config)), m_offices(std::move(offices)),
      m_names(m_offices), m_writer(m_config.dataIn)
{
    m_thread.setObjectName(QStringLiteral("xmpp"));
}

NwwsEngine::~NwwsEngine()
{
    stop();
}

QString NwwsEngine::server() const
{
    return m_config.xmpp.host + QLatin1Char(':') + QString::number(m_config.xmpp.port);
}

void NwwsEngine::start()
{
    if (m_session)
        return;
    m_session = new XmppSession(m_config.xmpp);
    m_session->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, m_session, &XmppSession::run);
    connect(m_session, &XmppSession::productReceived, this, &NwwsEngine::take);
    connect(m_session, &XmppSession::stateChanged, this, &NwwsEngine::sessionState);
    connect(m_session, &XmppSession::logMessage, this, &NwwsEngine::logMessage);
    m_thread.start();
}

void NwwsEngine::stop()
{
    if (!m_session)
        return;
    m_session->stop();
    m_thread.quit();
    m_thread.wait();
    // products already delivered by the session are written before the end
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    delete m_session;
    m_session = nullptr;
}

void NwwsEngine::take(const NwwsMessage& message)
{
    if (m_session)
        m_session->taken();
    ++m_counters.received;
    const QByteArray text = NwwsProductText::broadcastForm(message.body);
    const QString name = m_names.fileName(message.awipsId, message.cccc, message.ttaaii, text);
    DataInWriter::Result r = m_writer.write(name, text);
    if (r.ok) {
        ++m_counters.written;
        m_lastFiles.prepend(QFileInfo(r.path).fileName());
        if (m_lastFiles.size() > LastFilesShown)
            m_lastFiles.removeLast();
        emit fileWritten(r.path);
        stamp();
    } else {
        const QString why = r.error;
        r = DataInWriter(m_config.spillDir).write(name, text);
        if (r.ok) {
            ++m_counters.spilled;
            emit logMessage(QStringLiteral("Could not write %1 into Data-In (%2); kept as %3")
                                .arg(name, why, r.path));
        } else {
            ++m_counters.lost;
            emit logMessage(QStringLiteral("LOST product %1 (id %2): %3; %4")
                                .arg(name, message.id, why, r.error));
        }
    }
    emit countersChanged();
}

// The time of the last product, for the program's watch of both feeds:
// the stamp file's modification time, renewed at most every few seconds.
void NwwsEngine::stamp()
{
    if (m_config.stampPath.isEmpty() || (m_stamped.isValid() && m_stamped.elapsed() < kStampMs))
        return;
    m_stamped.start();
    QFile file(m_config.stampPath);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(QByteArray::number(m_counters.written) + " products written\n");
}

void NwwsEngine::sessionState(XmppSession::State state, const QString& text)
{
    m_stateText = text;
    if (state == XmppSession::State::Joined) {
        if (m_everJoined) {
            ++m_counters.reconnects;
            m_counters.lastReconnectMs = m_sinceLoss.isValid() ? m_sinceLoss.elapsed() : -1;
            emit logMessage(QStringLiteral("Back in the room %1 ms after the connection was lost")
                                .arg(m_counters.lastReconnectMs));
        }
        m_everJoined = true;
        m_sinceLoss.invalidate();
        emit countersChanged();
    } else if (state == XmppSession::State::Disconnected && !m_sinceLoss.isValid()) {
        m_sinceLoss.start();
    } else if (state == XmppSession::State::Refused) {
        watchPassword();
    }
    emit stateChanged(text);
    emit logMessage(text);
}

// After a refusal the password file is looked at now and then; a new
// password is tried once.
void NwwsEngine::watchPassword()
{
    const QString path = NwwsSettings::passwordPath(m_config.passwordDir);
    const QDateTime refusedAt = QFileInfo(path).lastModified();
    auto* timer = new QTimer(this);
    timer->setInterval(kPasswordCheckMs);
    connect(timer, &QTimer::timeout, this, [this, timer, path, refusedAt] {
        if (!m_session) {
            timer->deleteLater();
            return;
        }
        if (QFileInfo(path).lastModified() == refusedAt)
            return;
        timer->deleteLater();
        QString error;
        const QString password = NwwsSettings::readPassword(m_config.passwordDir, &error);
        if (password.isEmpty()) {
            emit logMessage(QStringLiteral("NWWS password: ") + error);
            return;
        }
        emit logMessage(QStringLiteral("The password file changed: logging in again"));
        m_session->retry(password);
    });
    timer->start();
}
