#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// How the main program's engine commands reach a running engine: the engine
// listens on a local socket in the user's runtime directory, one per engine
// program, and takes one command per line: "HIDE" (hide the window),
// "SHOW" (show it again) and "SHUTDOWN" (end).
class EngineCommandServer : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxLineLength = 64;

    // engineName: "Engine" or "VTIngest".
    explicit EngineCommandServer(const QString& engineName, QObject* parent = nullptr);
    ~EngineCommandServer() override;

    // Starts listening; false (with the reason) when another copy of the
    // engine already listens or the socket cannot be made.
    bool listen(QString* error);
    QString serverPath() const { return m_path; }

    // runtime directory + "/vantorel-" + engineName + ".cmd"
    static QString serverPathFor(const QString& engineName);

signals:
    void hideRequested();
    void showRequested();
    void shutdownRequested();
    void logMessage(const QString& text);

private:
    void accept();
    void readCommands(QLocalSocket* socket);
    void tooLong(QLocalSocket* socket);
    void dispatch(const QByteArray& line);

    QString m_path;
    QLocalServer* m_server;
};
