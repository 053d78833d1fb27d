#pragma once

#include <QString>
#include <QStringList>

class BlatArguments;
class BlatLog;
class BlatProfile;

// The mailer program: stores the profile ("-install") or mails a body file
// with retries, logging every try. Runs without any window, prompt or input.
class Blat
{
public:
    enum ExitCode
    {
        Sent = 0,
        Failed = 1,
        PartlySent = 2,
        // The whole message went out but the server's reply to it was lost:
        // it may have arrived, so it is not sent again.
        DeliveryUnknown = 3
    };

    // ownDir: the directory of the mailer's executable (the profile may lie there).
    explicit Blat(QString ownDir);

    // arguments[0] is the program name. Returns the exit status.
    int run(const QStringList& arguments);

private:
    int install(const BlatArguments& args, const QString& profilePath, BlatLog& log);
    int send(const BlatArguments& args, const QString& profilePath, BlatLog& log);
    bool readBody(const QString& path, QByteArray* body, QString* error) const;

    QString m_ownDir;
};
