#pragma once

// A broadcast stream server for tests, on 127.0.0.1 only: every client that
// logs on gets the whole stream (XORed as on the wire) in pieces. Header
// only; the test links the broadcast library for PacketEncoder.

#include "PacketEncoder.h"

#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class LocalStreamServer : public QObject
{
public:
    explicit LocalStreamServer(const QByteArray& stream) : m_wire(PacketEncoder::xored(stream))
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &LocalStreamServer::accept);
    }
    ~LocalStreamServer() override
    {
        m_server.close();
        for (QTcpSocket* s : std::as_const(m_clients))
            s->abort();
    }

    quint16 port() const { return m_server.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    int logons = 0;
    // Held, a client that logs on gets the stream only once it is released.
    void hold() { m_held = true; }
    void release()
    {
        m_held = false;
        for (const QPointer<QTimer>& timer : std::as_const(m_waiting))
            if (timer)
                timer->start(1);
        m_waiting.clear();
    }

private:
    void accept()
    {
        while (QTcpSocket* s = m_server.nextPendingConnection()) {
            m_clients << s;
            connect(s, &QTcpSocket::readyRead, this, [this, s] { onLogon(s); });
        }
    }
    void onLogon(QTcpSocket* s)
    {
        s->readAll();
        if (s->property("sending").toBool())
            return;
        ++logons;
        s->setProperty("sending", true);
        auto* timer = new QTimer(s);
        connect(timer, &QTimer::timeout, s, [s, timer, this, sent = qsizetype(0)]() mutable {
            const QByteArray piece = m_wire.mid(sent, 4096);
            if (piece.isEmpty()) {
                timer->stop();
                return;
            }
            s->write(piece);
            sent += piece.size();
        });
        if (m_held)
            m_waiting << timer;
        else
            timer->start(1);
    }

    QByteArray m_wire;
    QTcpServer m_server;
    QList<QTcpSocket*> m_clients;
    bool m_held = false;
    QList<QPointer<QTimer>> m_waiting;
};
