#pragma once

// A local SMTP server for tests (smtp_sink.py beside this header), bound to
// 127.0.0.1 and stopped with its object. Accepted messages are kept as files.

#include "ReadyPort.h"
#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

inline QString python()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}

// arguments: smtp_sink.py options (--cert, --key, --auth, --reject, --mode).
// --mode lostreply drops the connection after storing a message, before its reply.
class SmtpSink
{
public:
    struct Message
    {
        QJsonObject envelope;
        QByteArray data;
    };

    explicit SmtpSink(const QStringList& arguments)
    {
        m_process.start(python(), QStringList{QStringLiteral(VANTOREL_SOURCE_ROOT
                                                             "/tests/tools/blat/smtp_sink.py"),
                                              QStringLiteral("--outdir"), m_out.path(),
                                              QStringLiteral("--lifetime"), QStringLiteral("300")} +
                                      arguments);
        port = waitForReadyPort(m_process);
        if (port == 0)
            qWarning("SMTP sink did not start: %s", m_process.readAllStandardError().constData());
    }
    ~SmtpSink()
    {
        m_process.closeWriteChannel();
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    QList<Message> messages() const
    {
        QList<Message> list;
        const QDir dir(m_out.path());
        for (const QString& name :
             dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
            const QString base = dir.filePath(name.chopped(5));
            list.append({QJsonDocument::fromJson(readBytes(base + ".json")).object(),
                         readBytes(base + ".eml")});
        }
        return list;
    }

    // User names of the login attempts the server has seen, in order.
    QStringList authAttempts() const
    {
        return QString::fromUtf8(readBytes(m_out.filePath(QStringLiteral("auth.txt"))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    int port = 0;

private:
    QTemporaryDir m_out;
    QProcess m_process;
};

// A self-signed certificate for 127.0.0.1 and localhost (cert.pem, key.pem in dir).
inline QString makeCertificate(const QTemporaryDir& dir)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1", "-subj",
                   "/CN=localhost", "-addext", "subjectAltName=IP:127.0.0.1,DNS:localhost",
                   "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem")});
    openssl.waitForFinished(30000);
    return dir.filePath("cert.pem");
}
