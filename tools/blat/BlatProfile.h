#pragma once

#include <QString>

// The mailer's stored profile: the server and sender registered by
// "-install", the number of tries and the SMTP port, and optional login
// credentials. Kept as "key=value" lines in one file, readable by its owner only.
class BlatProfile
{
public:
    static constexpr int DefaultTries = 3;
    static constexpr int DefaultPort = 25;

    QString server;
    QString sender;
    int tries = DefaultTries;
    int port = DefaultPort;
    QString user;
    QString password;

    // The profile's file name inside the configuration directory.
    static QString fileName();

    // Reads a profile; false (with a reason) when the file is missing or unreadable.
    bool load(const QString& path, QString* error);
    // Writes the file whole with owner-only permissions; false with a reason on failure.
    bool save(const QString& path, QString* error) const;

    QByteArray toText() const;
    void fromText(const QByteArray& text);
};
