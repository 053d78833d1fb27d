#pragma once

#include <QString>
#include <QStringList>

// The mailer's command line. Two forms:
//   blat -install server sender [tries [port]] [-u user -pw password]
//   blat bodyfile -s subject -t recipients [-cc list] [-bcc list] [-f sender]
//        [-server host] [-port n] [-u user -pw password] [-try n] ...
// Options take one dash (two work too). Every option value is the next
// argument as it stands, so a recipient or subject that begins with "-" is
// a value and never an option.
class BlatArguments
{
public:
    enum class Mode
    {
        Send,
        Install,
        Help,
        Version,
        Invalid
    };

    Mode mode = Mode::Invalid;
    QString error; // why the line is Invalid
    QString configDir;
    QString logFile;

    // -install
    QString server;
    QString sender;
    int tries = -1; // -1: not given
    int port = -1;

    // send
    QString bodyFile;
    QString subject;
    QString to;
    QString cc;
    QString bcc;
    QString from;
    QString user;
    QString password;
    QString caCertFile;
    int timeoutSeconds = 120;
    int retryWaitSeconds = 5;
    bool quiet = false;
    bool debug = false;

    // arguments[0] is the program name.
    static BlatArguments parse(const QStringList& arguments);
    static QString helpText();

private:
    void takeInstall(const QStringList& positional);
    void takeSend(const QStringList& positional);
};
