#include "ServerProbe.h"

#include "PacketEncoder.h"

#include <QTcpSocket>

ServerProbe::ServerProbe(QString logonAddress, QObject* parent)
    : QObject(parent), m_logonAddress(std::move(logonAddress))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_connected)
            end(QString());
        else
            end(QStringLiteral("Could not connect: no answer within %1 s").arg(m_connectMs / 1000));
    });
}

ServerProbe::~ServerProbe()
{
    cancel();
}

void ServerProbe::start(const ServerList::Server& server)
{
    cancel();
    m_decoder.reset();
    m_assembler = FileAssembler();
    m_connected = false;
    m_packets = 0;
    m_files = 0;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &ServerProbe::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &ServerProbe::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { end(QStringLiteral("closed by the server")); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        if (!m_socket)
            return;
        end(e == QAbstractSocket::RemoteHostClosedError ? QStringLiteral("closed by the server")
                                                        : m_socket->errorString());
    });
    m_clock.start();
    m_timer.start(m_connectMs);
    emit progress(QStringLiteral("Connecting to ") + server.text() + QStringLiteral(" ..."));
    m_socket->connectToHost(server.host, server.port);
}

void ServerProbe::cancel()
{
    m_timer.stop();
    if (!m_socket)
        return;
    QTcpSocket* socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void ServerProbe::onConnected()
{
    m_connected = true;
    m_clock.restart();
    m_socket->write(PacketEncoder::xored(PacketEncoder::logon(m_logonAddress, 2)));
    m_timer.start(m_durationMs);
    emit progress(QStringLiteral("Connected, waiting for data ..."));
}

void ServerProbe::onReadyRead()
{
    if (!m_socket)
        return;
    StreamDecoder::Output out;
    m_decoder.feed(m_socket->readAll(), out);
    for (const DecodedBlock& block : std::as_const(out.blocks)) {
        if (!block.checksumOk)
            continue;
        ++m_packets;
        if (m_assembler.add(block, m_clock.elapsed(), nullptr) == FileAssembler::Result::Completed)
            ++m_files;
    }
}

// reason: empty when the time ran out normally.
void ServerProbe::end(const QString& reason)
{
    if (!m_socket)
        return;
    onReadyRead(); // what is still buffered counts
    const bool connected = m_connected;
    cancel();
    if (!connected) {
        emit finished(QStringLiteral("Could not connect: ") + reason);
        return;
    }
    QString text = summary();
    if (!reason.isEmpty())
        text += QStringLiteral(" (then ") + reason + QLatin1Char(')');
    emit finished(text);
}

QString ServerProbe::summary() const
{
    const double seconds = m_clock.elapsed() / 1000.0;
    const QString time =
        seconds >= 10 ? QString::number(qRound(seconds)) : QString::number(seconds, 'f', 1);
    return QStringLiteral("Connected, %1 packets, %2 files in %3 s")
        .arg(m_packets)
        .arg(m_files)
        .arg(time);
}
