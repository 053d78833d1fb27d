#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Delivers one message to an SMTP server with libcurl: STARTTLS when the
// server offers it (required when logging in), optional login, bounded
// connect and total times. Never prompts and never reads standard input.
class SmtpClient
{
public:
    struct Job
    {
        QString server; // host, "host:port", "smtps://host" for TLS from the start
        int port = 25;
        QString from;
        QStringList recipients; // envelope recipients: To, Cc and Bcc
        QByteArray message;     // the whole message with CR LF line ends
        QString user;           // login when not empty
        QString password;
        QString caCertFile; // certificate(s) to trust besides the system's
        int connectTimeoutSeconds = 20;
        int totalTimeoutSeconds = 120;
    };

    struct Result
    {
        bool sent = false;
        bool transient = false; // worth another try
        // The whole message went out but no reply to its end came: it may
        // have been delivered, so another try could deliver it twice.
        bool deliveryUnknown = false;
        QString error;
        long responseCode = 0; // last SMTP reply code
        QStringList rejected;  // recipients the server refused
        QString transcript;    // the SMTP dialogue, login data removed
    };

    Result send(const Job& job) const;

    // The URL libcurl is given: scheme, host, port and the name this host
    // greets with ("smtp://mail.example.org:25/myhost"). A port in the server
    // text ("host:587") wins over the port given.
    static QString url(const QString& server, int port, const QString& greetName);
    // The host name to greet with: the machine's name when it is a plain host
    // name, else "localhost".
    static QString greetName();
    // Whether the server text holds a login ("user:password@host"), which
    // would reach the server from the URL, outside the rule that a login
    // only goes over TLS.
    static bool holdsLogin(const QString& server);
    // Whether two server texts name the same server (host names ignore case).
    static bool sameServer(const QString& a, const QString& b);
    // Recipients the server refused, read from the dialogue.
    static QStringList rejectedRecipients(const QString& transcript);
    // Whether a failure with this libcurl code and SMTP reply is worth a retry.
    static bool isTransient(int curlCode, long responseCode);
};
