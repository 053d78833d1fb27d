#pragma once

#include <QByteArray>
#include <QString>

class ModemChannel;
class ModemSettings;

// The paging dialogue with a terminal once the modem is connected: log on,
// send page blocks (sending a block again on NAK), log off.
class TapSession
{
public:
    enum class Outcome
    {
        Accepted,
        Refused, // the terminal will not take this page (RS)
        Broken   // the call failed; the page may go in a later call
    };

    static constexpr int IdPrompts = 5;
    static constexpr int BlockTries = 3;

    TapSession(ModemChannel& channel, const ModemSettings& settings);

    bool logOn(QString* error);
    Outcome sendPage(const QByteArray& pin, const QByteArray& text, QString* detail);
    void logOff();

private:
    int replyMs() const;

    ModemChannel& m_channel;
    const ModemSettings& m_settings;
};
