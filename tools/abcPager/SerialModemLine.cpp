#include "abcPager/SerialModemLine.h"

namespace {
constexpr int kWriteTimeoutMs = 5000;

QSerialPort::Parity parityOf(const QString& text)
{
    const QString p = text.trimmed().toUpper();
    if (p == QLatin1String("N"))
        return QSerialPort::NoParity;
    if (p == QLatin1String("O"))
        return QSerialPort::OddParity;
    return QSerialPort::EvenParity;
}
} // namespace

QString SerialModemLine::formatText(const Format& format)
{
    return QStringLiteral("%1 %2%3%4")
        .arg(format.speed)
        .arg(format.dataBits)
        .arg(format.parity.left(1).toUpper())
        .arg(format.stopBits);
}

bool SerialModemLine::open(const QString& port, const Format& format, QString* error, QString* note)
{
    m_port.setPortName(port);
    if (!m_port.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open the modem port %1: %2 (set Port= in abcPager.ini)")
                     .arg(port, m_port.errorString());
        return false;
    }
    QStringList refused;
    const auto check = [this, &refused](bool ok, const QString& what) {
        if (!ok)
            refused << what + QStringLiteral(" (") + m_port.errorString() + QLatin1Char(')');
        m_port.clearError();
    };
    check(m_port.setBaudRate(format.speed), QString::number(format.speed));
    check(m_port.setDataBits(format.dataBits == 8 ? QSerialPort::Data8 : QSerialPort::Data7),
          QStringLiteral("%1 data bits").arg(format.dataBits));
    check(m_port.setParity(parityOf(format.parity)), QStringLiteral("parity ") + format.parity);
    check(m_port.setStopBits(format.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop),
          QStringLiteral("%1 stop bits").arg(format.stopBits));
    check(m_port.setFlowControl(QSerialPort::NoFlowControl), QStringLiteral("no flow control"));
    note->clear();
    if (!refused.isEmpty())
        *note = QStringLiteral("the port %1 did not take %2; going on with its own settings")
                    .arg(port, refused.join(QStringLiteral(", ")));
    setDataTerminalReady(true);
    m_failed = false;
    return true;
}

void SerialModemLine::close()
{
    if (m_port.isOpen())
        m_port.close();
}

bool SerialModemLine::write(const QByteArray& bytes)
{
    if (!m_port.isOpen() || m_port.write(bytes) != bytes.size()) {
        m_failed = true;
        return false;
    }
    if (!m_port.waitForBytesWritten(kWriteTimeoutMs) && m_port.bytesToWrite() > 0) {
        m_failed = true;
        return false;
    }
    return true;
}

QByteArray SerialModemLine::read(int timeoutMs)
{
    if (!m_port.isOpen())
        return {};
    if (m_port.bytesAvailable() == 0 && !m_port.waitForReadyRead(timeoutMs)) {
        const QSerialPort::SerialPortError error = m_port.error();
        if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
            m_failed = true;
        m_port.clearError();
        return {};
    }
    return m_port.readAll();
}

void SerialModemLine::setDataTerminalReady(bool on)
{
    // Lines without modem control (a pseudo-terminal) refuse this; it is
    // only a help for hanging up, so the refusal is not a failure.
    m_port.setDataTerminalReady(on);
    m_port.clearError();
}

bool SerialModemLine::failed() const
{
    return m_failed;
}

QString SerialModemLine::errorText() const
{
    return m_port.errorString();
}
