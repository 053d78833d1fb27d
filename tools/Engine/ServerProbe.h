#pragma once

#include "FileAssembler.h"
#include "ServerList.h"
#include "StreamDecoder.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// One trial connection to a stream server, for the user choosing servers:
// connects, logs on, decodes what arrives for a few seconds (nothing is
// written) and says what it got: "Connected, 12 packets, 3 files in 5 s", or
// why it failed.
class ServerProbe : public QObject
{
    Q_OBJECT
public:
    explicit ServerProbe(QString logonAddress, QObject* parent = nullptr);
    ~ServerProbe() override;

    void setDuration(int milliseconds) { m_durationMs = milliseconds; }
    void setConnectTimeout(int milliseconds) { m_connectMs = milliseconds; }
    void start(const ServerList::Server& server);
    void cancel();
    bool isRunning() const { return m_socket != nullptr; }

signals:
    void progress(const QString& text);
    void finished(const QString& text);

private:
    void onConnected();
    void onReadyRead();
    void end(const QString& reason);
    QString summary() const;

    QString m_logonAddress;
    int m_durationMs = 5000;
    int m_connectMs = 5000;
    QTcpSocket* m_socket = nullptr;
    QTimer m_timer;
    QElapsedTimer m_clock;
    StreamDecoder m_decoder{true};
    FileAssembler m_assembler;
    bool m_connected = false;
    qint64 m_packets = 0;
    int m_files = 0;
};
