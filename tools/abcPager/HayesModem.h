#pragma once

#include <QString>

class ModemChannel;
class ModemSettings;

// A Hayes-command modem: wake and set it up, dial the paging service, hang up.
class HayesModem
{
public:
    HayesModem(ModemChannel& channel, const ModemSettings& settings);

    // "AT", then the init string; each must answer OK.
    bool prepare(QString* error);
    // Dials prefix + number and waits for CONNECT.
    bool dial(const QString& number, QString* error);
    // Ends the call (when connected) and puts the modem on hook.
    void hangUp();
    bool online() const { return m_online; }

    // The number as the modem takes it: blanks, dashes, dots and brackets
    // dropped; empty when anything else than dial characters remains.
    static QString dialNumber(const QString& number);

private:
    bool command(const QByteArray& text, int timeoutMs);
    void escapeToCommandMode();

    ModemChannel& m_channel;
    const ModemSettings& m_settings;
    bool m_online = false;
};
