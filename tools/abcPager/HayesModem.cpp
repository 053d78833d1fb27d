#include "abcPager/HayesModem.h"

#include "abcPager/IModemLine.h"
#include "abcPager/ModemChannel.h"
#include "abcPager/ModemSettings.h"

#include <QRegularExpression>
#include <QThread>

namespace {
const QByteArray kOk = "OK\r";
const QList<QByteArray> kDialResults = {"CONNECT",      "NO CARRIER", "BUSY", "NO DIALTONE",
                                        "NO DIAL TONE", "NO ANSWER",  "ERROR"};
const QByteArray kNoCarrier = "NO CARRIER";
} // namespace

HayesModem::HayesModem(ModemChannel& channel, const ModemSettings& settings)
    : m_channel(channel), m_settings(settings)
{
}

QString HayesModem::dialNumber(const QString& number)
{
    QString digits = number;
    digits.remove(QRegularExpression(QStringLiteral("[\\s.()-]")));
    static const QRegularExpression dialChars(QStringLiteral("^[0-9*#,WwPpTt!@]{1,60}$"));
    return dialChars.match(digits).hasMatch() ? digits : QString();
}

bool HayesModem::command(const QByteArray& text, int timeoutMs)
{
    m_channel.clear();
    if (!m_channel.send(text + '\r'))
        return false;
    return m_channel.waitFor({kOk, "ERROR"}, timeoutMs) == 0;
}

bool HayesModem::prepare(QString* error)
{
    const int replyMs = m_settings.replyTimeoutSeconds * 1000;
    bool awake = false;
    for (int attempt = 0; attempt < 3 && !awake; ++attempt) {
        m_channel.clear();
        if (!m_channel.send("AT\r"))
            break;
        // "0" is OK in numeric result mode, before the init string asks for words.
        awake = m_channel.waitFor({kOk, "0\r"}, replyMs / 3 + 1) >= 0;
    }
    if (!awake) {
        *error = m_channel.line().failed()
                     ? QStringLiteral("modem line failed: ") + m_channel.line().errorText()
                     : QStringLiteral("no answer from the modem (AT)");
        return false;
    }
    if (!m_settings.init.isEmpty() && !command(m_settings.init.toLatin1(), replyMs)) {
        *error = QStringLiteral("the modem did not accept the init string %1").arg(m_settings.init);
        return false;
    }
    return true;
}

bool HayesModem::dial(const QString& number, QString* error)
{
    const QString digits = dialNumber(number);
    if (digits.isEmpty()) {
        *error = QStringLiteral("dial-up number \"%1\" is not usable").arg(number);
        return false;
    }
    m_channel.clear();
    m_channel.send((m_settings.dialPrefix + digits).toLatin1() + '\r');
    const int result = m_channel.waitFor(kDialResults, m_settings.connectTimeoutSeconds * 1000);
    if (result == 0) {
        m_online = true;
        m_channel.waitFor({"\r"}, 500); // the rest of the CONNECT line
        return true;
    }
    if (result < 0) {
        m_channel.send("\r"); // any character stops the dialling
        *error = QStringLiteral("no connection within %1 s").arg(m_settings.connectTimeoutSeconds);
    } else {
        *error =
            QStringLiteral("the modem answered ") + QString::fromLatin1(kDialResults.at(result));
    }
    return false;
}

void HayesModem::escapeToCommandMode()
{
    QThread::msleep(static_cast<unsigned long>(m_settings.guardMs));
    m_channel.clear();
    m_channel.send("+++");
    m_channel.waitFor({kOk}, m_settings.guardMs + 1000);
}

void HayesModem::hangUp()
{
    if (m_online) {
        // The terminal usually ends the call itself; otherwise drop DTR and
        // fall back to the escape sequence.
        if (m_channel.waitFor({kNoCarrier}, std::min(1500, m_settings.replyTimeoutSeconds * 1000)) <
            0) {
            m_channel.line().setDataTerminalReady(false);
            m_channel.collect(500);
            m_channel.line().setDataTerminalReady(true);
            if (!m_channel.buffer().contains(kNoCarrier))
                escapeToCommandMode();
        }
        m_online = false;
    }
    command("ATH0", std::min(2000, m_settings.replyTimeoutSeconds * 1000));
}
