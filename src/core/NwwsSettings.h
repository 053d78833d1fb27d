#pragma once

#include <QString>

class SettingsStore;

// The Weather Wire feed's settings: section "NWWS" of the settings store
// (Enabled, User, Server as host:port, Resource, CACert) and the password,
// kept apart in nwws-password.txt in the program directory, readable by its
// owner alone.
class NwwsSettings
{
public:
    static constexpr quint16 DefaultPort = 5222;
    static constexpr qint64 MaxPasswordBytes = 1024;

    // The stored defaults: the feed off, the public server.
    NwwsSettings();

    bool enabled = false;
    QString user;
    QString server;
    QString resource;
    QString caCert; // a certificate file trusted besides the system's

    static NwwsSettings read(const SettingsStore& store);
    void write(SettingsStore& store) const;

    // "host:port" taken apart; the port is DefaultPort when none is given.
    QString host() const;
    quint16 port() const;
    // The XMPP domain is the server's host; the room is nwws@conference.HOST.
    QString room() const { return QStringLiteral("nwws@conference.") + host(); }

    static QString passwordPath(const QString& programDir);
    // Writes the password whole with mode 0600; false with the reason.
    static bool writePassword(const QString& programDir, const QString& password, QString* error);
    // The password; empty with the reason when the file is missing, too
    // large, or can be read by others than its owner.
    static QString readPassword(const QString& programDir, QString* error);
};
