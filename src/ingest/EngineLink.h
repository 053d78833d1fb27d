#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QLocalSocket;

// Carries the engine command field's commands ("HIDE", "SHUTDOWN") to the
// running ingest engines. Each engine listens on a local socket in the
// user's runtime directory ("vantorel-Engine.cmd", "vantorel-VTIngest.cmd")
// and takes one command per line. Sending never waits: the connection is made
// in the background and an engine that does not listen is simply skipped.
class EngineLink : public QObject
{
    Q_OBJECT
public:
    static const QStringList EngineNames;
    static constexpr int GiveUpMs = 3000;

    explicit EngineLink(QObject* parent = nullptr);

    // Sends the command (one line) to every engine that listens.
    void send(const QString& command);
    // Waits at most timeoutMs for the commands under way to be delivered
    // (at exit, when no event loop will run them any more).
    void finish(int timeoutMs);

    // runtime directory + "/vantorel-" + engineName + ".cmd"
    static QString serverPathFor(const QString& engineName);

signals:
    // An engine took the command.
    void delivered(const QString& engineName, const QString& command);

private:
    void sendTo(const QString& engineName, const QByteArray& line);

    QList<QPointer<QLocalSocket>> m_underWay;
};
