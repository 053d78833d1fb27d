#include "XmppServer.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {
bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (p.exitCode() != 0)
        qWarning().noquote() << program << p.readAll();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

const char* const kConfig = R"(run_as_root = true
pidfile = "%1/prosody.pid"
data_path = "%1/data"
certificates = "%1"
plugin_paths = {}
log = { info = "%1/prosody.log" }
interfaces = { "127.0.0.1" }
local_interfaces = { "127.0.0.1" }
c2s_ports = { %2 }
c2s_interfaces = { "127.0.0.1" }
s2s_ports = {}
http_ports = {}
https_ports = {}
component_ports = {}
modules_enabled = { "roster", "saslauth", "tls", "disco", "ping", "posix" }
modules_disabled = { "s2s" }
authentication = "internal_hashed"
c2s_require_encryption = true
ssl = { key = "%1/key.pem", certificate = "%1/cert.pem" }
VirtualHost "localhost"
Component "conference.localhost" "muc"
    muc_room_locking = false
    muc_room_default_history_length = 0
)";
} // namespace

XmppServer::XmppServer()
{
    QTcpServer probe; // a free port of the loopback
    probe.listen(QHostAddress::LocalHost);
    m_port = probe.serverPort();
    probe.close();
    m_ok = runTool(QStringLiteral("openssl"),
                   {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                    QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-days"),
                    QStringLiteral("2"), QStringLiteral("-subj"), QStringLiteral("/CN=localhost"),
                    QStringLiteral("-addext"),
                    QStringLiteral("subjectAltName=DNS:localhost,DNS:conference.localhost"),
                    QStringLiteral("-keyout"), file(QStringLiteral("key.pem")),
                    QStringLiteral("-out"), certificate()}) &&
           writeConfig();
}

XmppServer::~XmppServer()
{
    stop();
}

QString XmppServer::server() const
{
    return QStringLiteral("localhost:") + QString::number(m_port);
}

bool XmppServer::addAccount(const QString& user, const QString& password)
{
    return runTool(QStringLiteral("prosodyctl"),
                   {QStringLiteral("--config"), file(QStringLiteral("prosody.cfg.lua")),
                    QStringLiteral("register"), user, QStringLiteral("localhost"), password});
}

bool XmppServer::start()
{
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    m_process->setStandardOutputFile(file(QStringLiteral("console.log")), QIODevice::Append);
    m_process->start(QStringLiteral("prosody"),
                     {QStringLiteral("--config"), file(QStringLiteral("prosody.cfg.lua")),
                      QStringLiteral("-F")});
    if (!m_process->waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < StartMs && m_process->state() == QProcess::Running) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(200))
            return true;
        QTest::qWait(50);
    }
    return false;
}

void XmppServer::stop()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(2000);
    }
}

QByteArray XmppServer::log() const
{
    QFile f(file(QStringLiteral("prosody.log")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool XmppServer::writeConfig() const
{
    QDir().mkpath(file(QStringLiteral("data")));
    QFile f(file(QStringLiteral("prosody.cfg.lua")));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(QString::fromLatin1(kConfig).arg(m_dir.path()).arg(m_port).toUtf8());
    return f.error() == QFileDevice::NoError;
}
