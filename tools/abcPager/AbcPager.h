#pragma once

#include <QString>
#include <QStringList>

class DeliveryLog;
class QLockFile;
class ModemSettings;
class PagerArguments;

// The paging program: finds the pagers of each recipient, cuts the texts into
// pages and delivers them through the modem, logging every page.
class AbcPager
{
public:
    enum ExitCode
    {
        Delivered = 0,
        NotSent = 1,     // command line or set-up unusable; no call made
        Undelivered = 2, // some pages did not reach the paging terminal
        LeftOut = 3      // all pages delivered, but some pager numbers could not be paged
    };

    // ownDir: the directory of the pager's executable (the pager files may lie there).
    explicit AbcPager(QString ownDir);

    // arguments[0] is the program name. Returns the exit status.
    int run(const QStringList& arguments);
    // Path of the lock that lets one pager at a time use a modem port.
    static QString portLockPath(const QString& port);

private:
    int page(const PagerArguments& args, const QString& dir, const ModemSettings& settings,
             DeliveryLog& log);
    static void applyOverrides(const PagerArguments& args, ModemSettings& settings);
    // Waits for the modem port while another pager uses it; false when it stayed in use.
    static bool takeTurn(QLockFile& portLock, const ModemSettings& settings, DeliveryLog& log);
    static QString recipients(const PagerArguments& args);

    QString m_ownDir;
};
