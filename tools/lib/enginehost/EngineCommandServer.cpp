#include "EngineCommandServer.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

EngineCommandServer::EngineCommandServer(const QString& engineName, QObject* parent)
    : QObject(parent), m_path(serverPathFor(engineName)), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &EngineCommandServer::accept);
}

EngineCommandServer::~EngineCommandServer()
{
    m_server->close();
}

QString EngineCommandServer::serverPathFor(const QString& engineName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return QDir(dir).filePath(QStringLiteral("vantorel-") + engineName + QStringLiteral(".cmd"));
}

bool EngineCommandServer::listen(QString* error)
{
    QLocalSocket probe;
    probe.connectToServer(m_path);
    if (probe.waitForConnected(500)) {
        if (error)
            *error = QStringLiteral("another copy of this engine already listens on ") + m_path;
        return false;
    }
    QLocalServer::removeServer(m_path); // left behind by an engine that died
    if (m_server->listen(m_path))
        return true;
    if (error)
        *error = QStringLiteral("cannot listen on ") + m_path + QStringLiteral(": ") +
                 m_server->errorString();
    return false;
}

void EngineCommandServer::accept()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readCommands(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readCommands(socket);
    }
}

void EngineCommandServer::readCommands(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(MaxLineLength + 2);
        if (!line.endsWith('\n')) {
            tooLong(socket);
            return;
        }
        dispatch(line);
    }
    if (socket->bytesAvailable() > MaxLineLength)
        tooLong(socket);
}

// Nothing the program sends is that long: the connection is dropped unread.
void EngineCommandServer::tooLong(QLocalSocket* socket)
{
    emit logMessage(QStringLiteral("Engine command too long; connection closed"));
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void EngineCommandServer::dispatch(const QByteArray& line)
{
    const QByteArray command = line.trimmed().toUpper();
    if (command == "HIDE")
        emit hideRequested();
    else if (command == "SHOW")
        emit showRequested();
    else if (command == "SHUTDOWN")
        emit shutdownRequested();
    else if (!command.isEmpty())
        emit logMessage(QStringLiteral("Unknown engine command ignored: ") +
                        QString::fromLatin1(command.left(MaxLineLength)));
}
