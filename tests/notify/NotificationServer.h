#pragma once

// A real notification server for tests: a private D-Bus session bus
// (dbus-daemon with its own configuration, no service activation), an Xvfb
// display and dunst on both. Each notification's urgency is written into its
// message by the dunst configuration ("critical|summary|body"), so the
// history shows it. The menu of actions is answered by a grep for "Mute".
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

class NotificationServer
{
public:
    static constexpr int StartMs = 10000;

    // Starts the bus; withDunst also the display and dunst. ok() tells
    // whether it all came up, error() why not.
    explicit NotificationServer(bool withDunst = true)
    {
        if (!startBus())
            return;
        if (withDunst && !(startDisplay() && startDunst()))
            return;
        m_ok = true;
    }
    ~NotificationServer()
    {
        QDBusConnection::disconnectFromBus(connectionName());
        for (QProcess* p : {&m_dunst, &m_xvfb, &m_bus}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(3000))
                p->kill();
            p->waitForFinished(3000);
        }
    }

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString address() const { return m_address; }
    QString display() const { return m_display; }
    QDBusConnection bus() const
    {
        return QDBusConnection::connectToBus(m_address, connectionName());
    }

    // Runs dunstctl on the private bus; its output.
    QByteArray dunstctl(const QStringList& arguments) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral("dunstctl"), arguments);
        if (!p.waitForFinished(StartMs))
            p.kill();
        return p.readAllStandardOutput();
    }
    // The notifications that arrived, most recent first: "urgency|summary|body".
    QStringList history() const
    {
        dunstctl({QStringLiteral("close-all")});
        const QJsonObject doc =
            QJsonDocument::fromJson(dunstctl({QStringLiteral("history")})).object();
        QStringList messages;
        for (const QJsonValue& group : doc.value(QStringLiteral("data")).toArray()) {
            for (const QJsonValue& n : group.toArray()) {
                messages << n.toObject()
                                .value(QStringLiteral("message"))
                                .toObject()
                                .value(QStringLiteral("data"))
                                .toString();
            }
        }
        return messages;
    }
    // The notifications that arrived since the last call, most recent first.
    QStringList arrived()
    {
        const QStringList all = history();
        const QStringList fresh = all.mid(0, all.size() - m_seen);
        m_seen = static_cast<int>(all.size());
        return fresh;
    }
    int displayed() const
    {
        return dunstctl({QStringLiteral("count"), QStringLiteral("displayed")}).trimmed().toInt();
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
        env.insert(QStringLiteral("DISPLAY"), m_display);
        return env;
    }

private:
    QString connectionName() const
    {
        return QStringLiteral("vantorel-test-notifications-") + m_address;
    }

    bool fail(const QString& why)
    {
        m_error = why;
        return false;
    }

    // The first line a starting program writes on its standard output.
    static QByteArray firstLine(QProcess& p)
    {
        QDeadlineTimer deadline(StartMs);
        QByteArray out;
        while (!out.contains('\n') && !deadline.hasExpired() && p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(200);
            out += p.readAllStandardOutput();
        }
        return out.left(out.indexOf('\n')).trimmed();
    }

    bool startBus()
    {
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write the bus configuration"));
        f.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                "<busconfig><type>session</type><listen>unix:dir=" +
                m_dir.path().toUtf8() +
                "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                "<allow own=\"*\"/></policy></busconfig>\n");
        f.close();
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            return fail(QStringLiteral("dbus-daemon is not installed"));
        m_bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                     QStringLiteral("--print-address")});
        m_address = QString::fromUtf8(firstLine(m_bus));
        return m_address.isEmpty() ? fail(QStringLiteral("dbus-daemon did not start")) : true;
    }

    bool startDisplay()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return fail(QStringLiteral("Xvfb is not installed"));
        m_xvfb.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("800x600x24")});
        const QByteArray number = firstLine(m_xvfb);
        if (number.isEmpty())
            return fail(QStringLiteral("Xvfb did not start"));
        m_display = QLatin1Char(':') + QString::fromLatin1(number);
        return true;
    }

    bool startDunst()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dunst")).isEmpty())
            return fail(QStringLiteral("dunst is not installed"));
        const QString config = m_dir.filePath(QStringLiteral("dunstrc"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly))
            return fail(QStringLiteral("cannot write the dunst configuration"));
        f.write("[global]\ndmenu = /usr/bin/grep -m1 -i mute\nmarkup = full\n"
                "[urgency_low]\nformat = \"low|%s|%b\"\n"
                "[urgency_normal]\nformat = \"normal|%s|%b\"\n"
                "[urgency_critical]\nformat = \"critical|%s|%b\"\ntimeout = 0\n");
        f.close();
        m_dunst.setProcessEnvironment(environment());
        m_dunst.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_dunst.start(QStringLiteral("dunst"), {QStringLiteral("-config"), config});
        const QDBusConnection connection = bus();
        QDeadlineTimer deadline(StartMs);
        while (!deadline.hasExpired() && m_dunst.state() != QProcess::NotRunning) {
            if (connection.interface()->isServiceRegistered(
                    QStringLiteral("org.freedesktop.Notifications")))
                return true;
            QThread::msleep(50);
        }
        return fail(QStringLiteral("dunst did not register on the bus"));
    }

    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_xvfb;
    QProcess m_dunst;
    QString m_address;
    QString m_display;
    QString m_error;
    bool m_ok = false;
    int m_seen = 0;
};
