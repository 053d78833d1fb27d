#pragma once

#include <QString>
#include <optional>

// The FTP server setting as typed: a host name or address, optionally with a
// port ("host:port", "[v6 address]:port") and an "ftp://" prefix. Port 21
// when none is given. Only characters a host name can hold are accepted, so
// the text cannot add a path, a login or another scheme to the request.
class FtpServerAddress
{
public:
    static constexpr int DefaultPort = 21;

    QString host;
    int port = DefaultPort;

    // The address of the text, or nothing when it names no usable server.
    static std::optional<FtpServerAddress> parse(const QString& text);

private:
    static bool validHostName(const QString& host);
    static bool validV6(const QString& host);
};
