#include "abcPager/AbcPager.h"

#include "abcPager/DeliveryLog.h"
#include "abcPager/ModemSettings.h"
#include "abcPager/PageRun.h"
#include "abcPager/PagerArguments.h"
#include "abcPager/PagerFilesLocation.h"
#include "abcPager/PagerTargets.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

AbcPager::AbcPager(QString ownDir) : m_ownDir(std::move(ownDir)) {}

void AbcPager::applyOverrides(const PagerArguments& args, ModemSettings& settings)
{
    if (!args.port.isEmpty())
        settings.port = args.port;
    if (args.speed > 0)
        settings.speed = args.speed;
    if (!args.dialPrefix.isEmpty())
        settings.dialPrefix = args.dialPrefix;
    if (!args.init.isEmpty())
        settings.init = args.init;
    if (args.tries > 0)
        settings.tries = args.tries;
}

QString AbcPager::portLockPath(const QString& port)
{
    QString name = port;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QDir::tempPath() + QStringLiteral("/abcPager-") + name + QStringLiteral(".lock");
}

int AbcPager::run(const QStringList& arguments)
{
    const PagerArguments args = PagerArguments::parse(arguments);
    if (args.mode == PagerArguments::Mode::Help) {
        std::fputs(qPrintable(PagerArguments::helpText()), stdout);
        return Delivered;
    }
    if (args.mode == PagerArguments::Mode::Version) {
        std::printf("abcPager %s\n", VANTOREL_VERSION);
        return Delivered;
    }
    const QString dir = PagerFilesLocation::resolve(args.configDir, m_ownDir);
    QDir().mkpath(dir);
    QString logPath = dir + QStringLiteral("abcPager-log.txt");
    ModemSettings settings;
    QString settingsError;
    const bool settingsRead = settings.load(dir + ModemSettings::fileName(), &settingsError);
    if (!args.logFile.isEmpty())
        logPath = args.logFile;
    else if (!settings.logFile.isEmpty())
        logPath =
            QFileInfo(settings.logFile).isAbsolute() ? settings.logFile : dir + settings.logFile;
    DeliveryLog log(logPath);
    if (args.mode == PagerArguments::Mode::Invalid) {
        log.write(QStringLiteral("Command line refused: ") + args.error);
        return NotSent;
    }
    if (!settingsRead) {
        log.write(QStringLiteral("NOT SENT to %1: %2").arg(recipients(args), settingsError));
        return NotSent;
    }
    applyOverrides(args, settings);
    return page(args, dir, settings, log);
}

int AbcPager::page(const PagerArguments& args, const QString& dir, const ModemSettings& settings,
                   DeliveryLog& log)
{
    QString error;
    PagerTargets targets;
    if (!targets.load(dir, &error)) {
        log.write(QStringLiteral("NOT SENT to %1: %2").arg(recipients(args), error));
        return NotSent;
    }
    PageRun run(settings, log);
    run.prepare(targets, args.pages);
    if (args.dryRun) {
        for (const QString& line : run.blockLines())
            std::printf("%s\n", line.toLatin1().constData());
        return Delivered;
    }
    if (run.anyToSend()) {
        // Alarms can start pagers in quick succession: they take turns at the modem.
        QLockFile portLock(portLockPath(settings.port));
        portLock.setStaleLockTime(0); // a call may be long; only a dead holder frees the lock
        if (takeTurn(portLock, settings, log))
            run.deliver();
        else
            run.refuseAll(Undelivered, QStringLiteral("the modem port %1 stayed in use for %2 s")
                                           .arg(settings.port)
                                           .arg(settings.queueWaitSeconds));
    }
    if (!args.reportFile.isEmpty() && !run.writeReport(args.reportFile, &error))
        log.write(QStringLiteral("Cannot write the report %1: %2").arg(args.reportFile, error));
    return run.exitCode();
}

bool AbcPager::takeTurn(QLockFile& portLock, const ModemSettings& settings, DeliveryLog& log)
{
    if (portLock.tryLock(0) || portLock.error() != QLockFile::LockFailedError)
        return true;
    log.write(QStringLiteral("Waiting for the modem port %1: another page is going out")
                  .arg(settings.port));
    return portLock.tryLock(settings.queueWaitSeconds * 1000);
}

QString AbcPager::recipients(const PagerArguments& args)
{
    QStringList names;
    for (const PagerArguments::Request& page : args.pages)
        names << page.recipient;
    names.removeDuplicates();
    return names.join(QStringLiteral(", "));
}
