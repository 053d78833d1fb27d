#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <memory>

// A real XMPP server for tests: Debian's prosody on 127.0.0.1 with a
// generated configuration in a temporary directory (virtual host "localhost",
// the conference component, accounts registered with prosodyctl, a
// self-signed certificate made with openssl). Started and stopped by the test.
class XmppServer
{
public:
    static constexpr int StartMs = 20000;

    XmppServer();
    ~XmppServer();
    XmppServer(const XmppServer&) = delete;
    XmppServer& operator=(const XmppServer&) = delete;

    // The certificate and configuration could be made.
    bool ok() const { return m_ok; }
    quint16 port() const { return m_port; }
    // "localhost:PORT", as the engine's settings name it.
    QString server() const;
    QString certificate() const { return file(QStringLiteral("cert.pem")); }

    bool addAccount(const QString& user, const QString& password);
    // Starts the server and waits (bounded) until it takes connections.
    bool start();
    void stop();
    QByteArray log() const;

private:
    QString file(const QString& name) const { return m_dir.filePath(name); }
    bool writeConfig() const;

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    bool m_ok = false;
    std::unique_ptr<QProcess> m_process;
};
