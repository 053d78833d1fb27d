#include "SerialIngest.h"

#include <QSerialPort>

const QString SerialIngest::WindowTitle = QStringLiteral("Vantorel Ingest");

SerialIngest::SerialIngest(QString portName, int baud, const QString& dataIn, QObject* parent)
    : QObject(parent), m_portName(std::move(portName)), m_baud(baud), m_pipeline(false, dataIn),
      m_port(new QSerialPort(this))
{
    m_reopenTimer.setInterval(5000);
    m_reopenTimer.setSingleShot(true);
    connect(&m_reopenTimer, &QTimer::timeout, this, &SerialIngest::open);
    connect(m_port, &QSerialPort::readyRead, this, &SerialIngest::read);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError && e != QSerialPort::TimeoutError && m_port->isOpen())
            fail(m_port->errorString());
    });
    connect(&m_pipeline, &IngestPipeline::logMessage, this, &SerialIngest::logMessage);
}

SerialIngest::~SerialIngest()
{
    m_reopenTimer.stop();
    if (m_port->isOpen())
        m_port->close();
}

QString SerialIngest::portNameFor(int portNum)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(std::max(1, portNum));
#else
    return QStringLiteral("/dev/ttyS%1").arg(std::max(0, portNum - 1));
#endif
}

bool SerialIngest::isOpen() const
{
    return m_port->isOpen();
}

void SerialIngest::start()
{
    open();
}

void SerialIngest::open()
{
    m_port->setPortName(m_portName);
    m_port->setBaudRate(m_baud);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadOnly)) {
        if (!m_reportedClosed)
            emit logMessage(QStringLiteral("Cannot open %1: %2; trying again every %3 s")
                                .arg(m_portName, m_port->errorString())
                                .arg(m_reopenTimer.interval() / 1000));
        m_reportedClosed = true;
        m_reopenTimer.start();
        return;
    }
    m_reportedClosed = false;
    m_pipeline.restartStream();
    emit logMessage(QStringLiteral("Receiving on %1 at %2 baud").arg(m_portName).arg(m_baud));
    emit openChanged(true);
}

void SerialIngest::read()
{
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        m_pipeline.feed(bytes);
}

void SerialIngest::fail(const QString& reason)
{
    emit logMessage(m_portName + QStringLiteral(": ") + reason);
    m_port->close();
    m_pipeline.countReconnect();
    emit openChanged(false);
    m_reopenTimer.start();
}
