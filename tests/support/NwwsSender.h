#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

class XmppServer;

// Posts product files into the Weather Wire room of a test's XmppServer in
// the interface's form, through the test client nwws_sender.py (Debian's
// python3-slixmpp). It runs beside the test's event loop, so that other
// local servers of the test keep serving while it posts.
class NwwsSender
{
public:
    static constexpr int SendMs = 90000;

    // Registers the sender's own account on the server; false when it cannot.
    explicit NwwsSender(XmppServer& server);
    ~NwwsSender();
    NwwsSender(const NwwsSender&) = delete;
    NwwsSender& operator=(const NwwsSender&) = delete;

    bool ok() const { return m_ok; }
    // Starts posting; with occupants > 0 the posting waits (bounded) until
    // that many others are in the room.
    void start(const QStringList& files, int occupants = 0);
    // Serves the event loop until the sender has ended (bounded); true when
    // it ended having joined the room.
    bool waitForFinished(int timeoutMs = SendMs);
    bool running() const { return m_process.state() != QProcess::NotRunning; }
    // The files posted so far (some cannot be carried by XML and are skipped).
    QStringList sent();
    QByteArray errors() const { return m_errors; }

    // start and waitForFinished: the files posted.
    QStringList send(const QStringList& files);

private:
    void read();

    XmppServer& m_server;
    bool m_ok = false;
    QProcess m_process;
    QByteArray m_output;
    QByteArray m_errors;
};
