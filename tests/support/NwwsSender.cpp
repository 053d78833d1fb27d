#include "NwwsSender.h"

#include "XmppServer.h"

#include <QDebug>
#include <QFile>
#include <QTest>

namespace {
const QString kUser = QStringLiteral("sender");
const QString kPassword = QStringLiteral("sender-secret");

QString python()
{
    // the system's, which has python3-slixmpp, before any other on PATH
    return QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3")
                                                             : QStringLiteral("python3");
}
} // namespace

NwwsSender::NwwsSender(XmppServer& server) : m_server(server)
{
    m_ok = server.addAccount(kUser, kPassword);
}

NwwsSender::~NwwsSender()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}

void NwwsSender::start(const QStringList& files, int occupants)
{
    m_output.clear();
    m_errors.clear();
    QStringList arguments{
        QStringLiteral(VANTOREL_SOURCE_ROOT "/tests/tools/NWWSEngine/nwws_sender.py"),
        QStringLiteral("--port"),
        QString::number(m_server.port()),
        QStringLiteral("--ca"),
        m_server.certificate(),
        QStringLiteral("--user"),
        kUser,
        QStringLiteral("--password"),
        kPassword,
        QStringLiteral("--timeout"),
        QString::number(SendMs / 1000)};
    if (occupants > 0)
        arguments << QStringLiteral("--wait-occupants") << QString::number(occupants);
    m_process.start(python(), arguments + files);
}

bool NwwsSender::waitForFinished(int timeoutMs)
{
    (void)QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    read();
    if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0) {
        qWarning().noquote() << "sender:" << m_errors.right(2000);
        return false;
    }
    return true;
}

QStringList NwwsSender::sent()
{
    read();
    QStringList files;
    for (const QByteArray& line : m_output.split('\n'))
        if (line.startsWith("sent "))
            files << QString::fromUtf8(line.mid(5));
    return files;
}

QStringList NwwsSender::send(const QStringList& files)
{
    start(files);
    waitForFinished();
    return sent();
}

void NwwsSender::read()
{
    m_output += m_process.readAllStandardOutput();
    m_errors += m_process.readAllStandardError();
}
