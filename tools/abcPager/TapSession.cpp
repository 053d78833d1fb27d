#include "abcPager/TapSession.h"

#include "abcPager/ModemChannel.h"
#include "abcPager/ModemSettings.h"
#include "abcPager/TapProtocol.h"

namespace {
constexpr int kPromptIntervalMs = 2000;
const QByteArray kAck(1, TapProtocol::ACK);
const QByteArray kNak(1, TapProtocol::NAK);
const QByteArray kRs(1, TapProtocol::RS);
} // namespace

TapSession::TapSession(ModemChannel& channel, const ModemSettings& settings)
    : m_channel(channel), m_settings(settings)
{
}

int TapSession::replyMs() const
{
    return m_settings.replyTimeoutSeconds * 1000;
}

bool TapSession::logOn(QString* error)
{
    bool prompted = m_channel.waitFor({"ID="}, 0) == 0;
    for (int i = 0; i < IdPrompts && !prompted; ++i) {
        m_channel.send(QByteArray(1, TapProtocol::CR));
        prompted = m_channel.waitFor({"ID="}, std::min(kPromptIntervalMs, replyMs())) == 0;
    }
    if (!prompted) {
        *error = QStringLiteral("the paging terminal sent no ID= prompt");
        return false;
    }
    const QList<QByteArray> replies = {kAck, kNak, TapProtocol::disconnect()};
    for (int attempt = 0; attempt < BlockTries; ++attempt) {
        m_channel.send(TapProtocol::logOn(m_settings.password.toLatin1()));
        const int reply = m_channel.waitFor(replies, replyMs());
        if (reply == 1)
            continue;
        if (reply == 2 || reply < 0) {
            *error = reply == 2 ? QStringLiteral("the paging terminal refused the log-on")
                                : QStringLiteral("no answer to the log-on");
            return false;
        }
        if (m_channel.waitFor({TapProtocol::goAhead()}, replyMs()) == 0)
            return true;
        *error = QStringLiteral("the paging terminal gave no go-ahead");
        return false;
    }
    *error = QStringLiteral("the paging terminal refused the log-on %1 times").arg(BlockTries);
    return false;
}

TapSession::Outcome TapSession::sendPage(const QByteArray& pin, const QByteArray& text,
                                         QString* detail)
{
    const QByteArray block = TapProtocol::block(pin, text);
    const QList<QByteArray> replies = {kAck, kNak, kRs, TapProtocol::disconnect()};
    for (int attempt = 0; attempt < BlockTries; ++attempt) {
        if (!m_channel.send(block)) {
            *detail = QStringLiteral("the modem line failed");
            return Outcome::Broken;
        }
        switch (m_channel.waitFor(replies, replyMs())) {
        case 0:
            return Outcome::Accepted;
        case 1:
            continue;
        case 2:
            *detail = QStringLiteral("refused by the paging terminal");
            return Outcome::Refused;
        case 3:
            *detail = QStringLiteral("the paging terminal ended the call");
            return Outcome::Broken;
        default:
            *detail = QStringLiteral("no answer from the paging terminal");
            return Outcome::Broken;
        }
    }
    *detail = QStringLiteral("the block was refused as garbled %1 times").arg(BlockTries);
    return Outcome::Broken;
}

void TapSession::logOff()
{
    m_channel.send(TapProtocol::logOff());
    m_channel.waitFor({TapProtocol::disconnect()}, replyMs());
}
