#pragma once

// A local FTP server for the download tests (tests/ftp/ftp_server.py on
// 127.0.0.1, a free port, a root directory of the test's), and zipped sets
// of corpus products for it to serve.
#include "ReadyPort.h"
#include "TestSupport.h"
#include "ZipWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

class FtpTestServer
{
public:
    // Extra arguments: "--rate N", "--cut NAME:K:HOW", "--password P".
    explicit FtpTestServer(const QString& root, const QStringList& arguments = {})
    {
        const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                                   ? QStringLiteral("/usr/bin/python3")
                                   : QStringLiteral("python3");
        m_process.start(
            python, QStringList{QStringLiteral(VANTOREL_SOURCE_ROOT "/tests/ftp/ftp_server.py"),
                                QStringLiteral("--root"), root, QStringLiteral("--log"), logPath(),
                                QStringLiteral("--lifetime"), QStringLiteral("300")} +
                        arguments);
        port = waitForReadyPort(m_process);
        if (port == 0)
            qWarning("FTP server did not start: %s", m_process.readAllStandardError().constData());
    }

    ~FtpTestServer() { stop(); }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.closeWriteChannel();
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }

    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }

    // The commands the server received, in order ("RETR ONETEXT.ZIP").
    QStringList commands() const
    {
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    int port = 0;

private:
    QString logPath() const { return m_log.filePath(QStringLiteral("commands.log")); }

    QTemporaryDir m_log;
    QProcess m_process;
};

// A port on 127.0.0.1 where nothing listens.
inline int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

// The first count corpus products (names without an "@" suffix).
inline QStringList corpusProducts(int count)
{
    const QDir dir(testDataPath(QStringLiteral("corpus/products")));
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        if (!name.contains(QLatin1Char('@')))
            names << name;
        if (names.size() == count)
            break;
    }
    return names;
}

// Writes a zip of the named corpus products; stored uncompressed when asked,
// so that a set of a given size is quick to make. False on failure.
inline bool makeProductZip(const QString& path, const QStringList& products, bool stored = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QList<ZipMember> members;
    for (const QString& name : products)
        members.append({name, readBytes(testDataPath(QStringLiteral("corpus/products/") + name))});
    return writeZip(path, members, stored);
}
