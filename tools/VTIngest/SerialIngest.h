#pragma once

#include "IngestPipeline.h"

#include <QObject>
#include <QTimer>

class QSerialPort;

// The broadcast engine: the receiver's serial port (8N1, no XOR) feeding the
// ingest pipeline. A port that cannot be opened or fails is tried again every
// few seconds, so that a receiver plugged in later is picked up.
class SerialIngest : public QObject
{
    Q_OBJECT
public:
    static const QString WindowTitle;

    SerialIngest(QString portName, int baud, const QString& dataIn, QObject* parent = nullptr);
    ~SerialIngest() override;

    void setSpillDirectory(const QString& dir) { m_pipeline.setSpillDirectory(dir); }
    void setReopenInterval(int milliseconds) { m_reopenTimer.setInterval(milliseconds); }
    void start();

    IngestPipeline& pipeline() { return m_pipeline; }
    bool isOpen() const;
    QString portName() const { return m_portName; }
    int baud() const { return m_baud; }

    // The device of settings port number n: COMn on Windows, /dev/ttyS(n-1) elsewhere.
    static QString portNameFor(int portNum);

signals:
    void openChanged(bool open);
    void logMessage(const QString& text);

private:
    void open();
    void read();
    void fail(const QString& reason);

    QString m_portName;
    int m_baud;
    IngestPipeline m_pipeline;
    QSerialPort* m_port;
    QTimer m_reopenTimer;
    bool m_reportedClosed = false;
};
