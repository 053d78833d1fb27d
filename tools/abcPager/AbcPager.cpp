#include "abcPager/AbcPager.h"

#include "abcPager/DeliveryLog.h"
#include "abcPager/ModemSettings.h"
#include "abcPager/PageDelivery.h"
#include "abcPager/PageSplitter.h"
#include "abcPager/PagerArguments.h"
#include "abcPager/PagerFilesLocation.h"
#include "abcPager/PagerTargets.h"
#include "abcPager/SerialModemLine.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <cstdio>

namespace {
SerialModemLine::Format lineFormat(const PagerTargets::Target& target, int speedSetting)
{
    SerialModemLine::Format format;
    bool ok = false;
    const int listed = target.speed.toInt(&ok);
    format.speed = speedSetting > 0 ? speedSetting : (ok && listed > 0 ? listed : 1200);
    if (!target.parity.isEmpty())
        format.parity = target.parity;
    format.dataBits = target.dataBits == QLatin1String("8") ? 8 : 7;
    format.stopBits = target.stopBits == QLatin1String("2") ? 2 : 1;
    return format;
}

int longest(const QStringList& pins)
{
    int length = 0;
    for (const QString& pin : pins)
        length = std::max(length, static_cast<int>(pin.size()));
    return length;
}
} // namespace

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
        log.write(QStringLiteral("NOT SENT to %1: %2").arg(args.recipient, settingsError));
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
        log.write(QStringLiteral("NOT SENT to %1: %2").arg(args.recipient, error));
        return NotSent;
    }
    const std::optional<PagerTargets::Target> target = targets.resolve(args.recipient, &error);
    if (!target) {
        log.write(QStringLiteral("NOT SENT: ") + error);
        return NotSent;
    }
    if (!target->unusable.isEmpty())
        log.write(QStringLiteral("Pager numbers of %1 that cannot be paged, left out: \"%2\"")
                      .arg(target->recipient, target->unusable.join(QStringLiteral("\", \""))));
    const QByteArray text = PageSplitter::printable(args.message);
    if (target->pins.isEmpty() || text.isEmpty()) {
        log.write(QStringLiteral("NOT SENT to %1: %2")
                      .arg(target->recipient, text.isEmpty() ? QStringLiteral("empty message")
                                                             : QStringLiteral("no pager number")));
        return NotSent;
    }
    const int size = PageSplitter::pageSize(target->chars, longest(target->pins));
    const QList<QByteArray> chunks = PageSplitter::split(text, size);
    QList<PageDelivery::Page> pages;
    for (const QString& pin : target->pins) {
        for (int i = 0; i < chunks.size(); ++i)
            pages.append({pin.toLatin1(), chunks.at(i), i + 1, static_cast<int>(chunks.size())});
    }
    if (args.dryRun) {
        for (const PageDelivery::Page& p : pages)
            std::printf("%s %d/%d: %s\n", p.pin.constData(), p.number, p.count, p.text.constData());
        return Delivered;
    }
    const SerialModemLine::Format format = lineFormat(*target, settings.speed);
    log.write(QStringLiteral("Paging %1: %2 page(s) of up to %3 characters to %4 via %5 (%6 %7)")
                  .arg(target->recipient)
                  .arg(chunks.size())
                  .arg(size)
                  .arg(target->pins.join(QLatin1Char(',')), target->dialup, settings.port,
                       SerialModemLine::formatText(format)));
    const auto opener = [&settings, &log, format](QString* why) -> std::unique_ptr<IModemLine> {
        auto line = std::make_unique<SerialModemLine>();
        QString note;
        if (!line->open(settings.port, format, why, &note))
            return nullptr;
        if (!note.isEmpty())
            log.write(QStringLiteral("Note: ") + note);
        return line;
    };
    // Alarms can start pagers in quick succession: they take turns at the modem.
    QLockFile portLock(portLockPath(settings.port));
    portLock.setStaleLockTime(0); // a call may be long; only a dead holder frees the lock
    if (!portLock.tryLock(0) && portLock.error() == QLockFile::LockFailedError) {
        log.write(QStringLiteral("Waiting for the modem port %1: another page is going out")
                      .arg(settings.port));
        if (!portLock.tryLock(settings.queueWaitSeconds * 1000)) {
            log.write(QStringLiteral("NOT DELIVERED to %1: the modem port %2 stayed in use for "
                                     "%3 s")
                          .arg(target->recipient, settings.port)
                          .arg(settings.queueWaitSeconds));
            return Undelivered;
        }
    }
    const int delivered = PageDelivery(settings, log, opener).deliver(target->dialup, pages);
    // Pages for numbers that were left out count as not delivered.
    const qsizetype total = pages.size() + chunks.size() * target->unusable.size();
    log.write(QStringLiteral("Done for %1: %2 of %3 page(s) delivered")
                  .arg(target->recipient)
                  .arg(delivered)
                  .arg(total));
    if (delivered < pages.size())
        return Undelivered;
    return target->unusable.isEmpty() ? Delivered : LeftOut;
}
