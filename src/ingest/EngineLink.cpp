#include "ingest/EngineLink.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

const QStringList EngineLink::EngineNames{QStringLiteral("Engine"), QStringLiteral("VTIngest"),
                                          QStringLiteral("NWWSEngine")};

EngineLink::EngineLink(QObject* parent) : QObject(parent) {}

QString EngineLink::serverPathFor(const QString& engineName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("vantorel-") + engineName + QStringLiteral(".cmd"));
}

void EngineLink::send(const QString& command)
{
    QString text = command;
    text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    const QByteArray line = text.toUtf8() + '\n';
    for (const QString& engine : EngineNames)
        sendTo(engine, line);
}

void EngineLink::sendTo(const QString& engineName, const QByteArray& line)
{
    auto* socket = new QLocalSocket(this);
    const QString command = QString::fromUtf8(line.trimmed());
    connect(socket, &QLocalSocket::connected, this, [this, socket, line, engineName, command] {
        socket->write(line);
        socket->flush();
        socket->disconnectFromServer();
        emit delivered(engineName, command);
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::errorOccurred, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    // an engine that accepts but never reads must not keep the socket alive
    QTimer::singleShot(GiveUpMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    m_underWay.removeAll(nullptr);
    m_underWay << socket;
    socket->connectToServer(serverPathFor(engineName));
}

void EngineLink::finish(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (const QPointer<QLocalSocket>& socket : std::as_const(m_underWay)) {
        if (socket && socket->state() == QLocalSocket::ConnectingState)
            socket->waitForConnected(int(deadline.remainingTime()));
        if (socket && socket->state() == QLocalSocket::ConnectedState)
            socket->waitForBytesWritten(int(deadline.remainingTime()));
    }
    m_underWay.removeAll(nullptr);
}
