#pragma once

#include "DataInWriter.h"
#include "NwwsMessage.h"
#include "NwwsProductName.h"
#include "OfficeStates.h"
#include "XmppSession.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QThread>

// The Weather Wire engine: runs the XMPP session in a thread of its own and
// writes every product it delivers into the Data-In directory as the
// broadcast would have (text from the WMO heading on, CR CR LF line ends,
// the broadcast's file name). A product that cannot be written there goes to
// the spill directory; none is dropped unreported.
class NwwsEngine : public QObject
{
    Q_OBJECT
public:
    struct Config
    {
        XmppSession::Config xmpp;
        QString dataIn;
        QString spillDir;
        QString passwordDir; // where nwws-password.txt is watched after a refusal
        QString stampPath;   // touched with the products written
    };
    struct Counters
    {
        qint64 received = 0;
        qint64 written = 0;
        qint64 spilled = 0;
        qint64 lost = 0; // neither written nor spilled
        qint64 reconnects = 0;
        qint64 lastReconnectMs = -1; // from the loss of the room to its return
    };
    static constexpr int LastFilesShown = 12;

    NwwsEngine(Config config, OfficeStates offices, QObject* parent = nullptr);
    ~NwwsEngine() override;

    void start();
    // Ends the session and writes what it had delivered.
    void stop();

    const Counters& counters() const { return m_counters; }
    QStringList lastFiles() const { return m_lastFiles; }
    QString dataInDirectory() const { return m_writer.directory(); }
    QString server() const;
    QString stateText() const { return m_stateText; }

    // One product as it is filed (public for tests).
    void take(const NwwsMessage& message);

signals:
    void fileWritten(const QString& path);
    void stateChanged(const QString& text);
    void countersChanged();
    void logMessage(const QString& text);

private:
    void sessionState(XmppSession::State state, const QString& text);
    void watchPassword();
    void stamp();

    Config m_config;
    OfficeStates m_offices;
    NwwsProductName m_names;
    DataInWriter m_writer;
    QThread m_thread;
    XmppSession* m_session = nullptr;
    Counters m_counters;
    QStringList m_lastFiles;
    QString m_stateText;
    bool m_everJoined = false;
    QElapsedTimer m_sinceLoss;
    QElapsedTimer m_stamped;
};
