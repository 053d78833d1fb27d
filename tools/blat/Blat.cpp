#include "blat/Blat.h"

#include "blat/BlatArguments.h"
#include "blat/BlatLog.h"
#include "blat/BlatProfile.h"
#include "blat/MailAddress.h"
#include "blat/MailMessage.h"
#include "blat/ProfileLocation.h"
#include "blat/SmtpClient.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

namespace {
constexpr qint64 kMaxBody = 25 * 1024 * 1024;

QString quotedSubject(const QString& subject)
{
    return QLatin1Char('"') + subject + QLatin1Char('"');
}

// The server text is never echoed when it may hold a password.
const QString kLoginInServer =
    QStringLiteral("the server text holds a login (\"user@\" before the host), which is "
                   "neither stored nor sent; give the login with -u USER -pw PASSWORD");

QString recipientText(const QStringList& to, const QStringList& cc, const QStringList& bcc)
{
    QString text = to.join(QLatin1Char(','));
    if (!cc.isEmpty())
        text += QStringLiteral(" cc ") + cc.join(QLatin1Char(','));
    if (!bcc.isEmpty())
        text += QStringLiteral(" bcc ") + bcc.join(QLatin1Char(','));
    return text;
}
} // namespace

Blat::Blat(QString ownDir) : m_ownDir(std::move(ownDir)) {}

int Blat::run(const QStringList& arguments)
{
    const BlatArguments args = BlatArguments::parse(arguments);
    if (args.mode == BlatArguments::Mode::Help) {
        std::fputs(qPrintable(BlatArguments::helpText()), stdout);
        return Sent;
    }
    if (args.mode == BlatArguments::Mode::Version) {
        std::printf("blat %s\n", VANTOREL_VERSION);
        return Sent;
    }
    const QString dir = ProfileLocation::resolve(args.configDir, m_ownDir, BlatProfile::fileName());
    QDir().mkpath(dir);
    BlatLog log(args.logFile.isEmpty() ? dir + QStringLiteral("blat-log.txt") : args.logFile,
                args.quiet);
    if (args.mode == BlatArguments::Mode::Invalid) {
        log.write(QStringLiteral("Command line refused: ") + args.error);
        return Failed;
    }
    const QString profilePath = dir + BlatProfile::fileName();
    if (args.mode == BlatArguments::Mode::Install)
        return install(args, profilePath, log);
    return send(args, profilePath, log);
}

int Blat::install(const BlatArguments& args, const QString& profilePath, BlatLog& log)
{
    if (SmtpClient::holdsLogin(args.server)) {
        log.write(QStringLiteral("Profile not stored: ") + kLoginInServer);
        return Failed;
    }
    const bool serverOk = !args.server.isEmpty() && !args.server.contains(QLatin1Char(' '));
    if (!serverOk || !MailAddress::isValid(MailAddress::bare(args.sender))) {
        log.write(QStringLiteral("Profile not stored: server \"%1\" or sender \"%2\" is not usable")
                      .arg(args.server, args.sender));
        return Failed;
    }
    BlatProfile profile;
    QString ignored;
    profile.load(profilePath, &ignored); // keeps stored login data when none is given
    const int port = args.port > 0 ? args.port : BlatProfile::DefaultPort;
    if (!args.user.isEmpty()) {
        profile.user = args.user;
        profile.password = args.password;
    } else if (!profile.user.isEmpty() || !profile.password.isEmpty()) {
        // A stored login belongs to its server: never hand it to another one.
        if (!SmtpClient::sameServer(profile.server, args.server) || profile.port != port) {
            log.write(QStringLiteral("Stored login of %1 dropped: the server changed from %2 "
                                     "port %3 to %4 port %5")
                          .arg(profile.user, profile.server)
                          .arg(profile.port)
                          .arg(args.server)
                          .arg(port));
            profile.user.clear();
            profile.password.clear();
        }
    }
    profile.server = args.server;
    profile.sender = MailAddress::bare(args.sender);
    profile.tries = args.tries > 0 ? args.tries : BlatProfile::DefaultTries;
    profile.port = port;
    QString error;
    if (!profile.save(profilePath, &error)) {
        log.write(QStringLiteral("Profile not stored: ") + error);
        return Failed;
    }
    log.write(QStringLiteral("Profile stored: server %1 port %2, sender %3, %4 tries")
                  .arg(profile.server)
                  .arg(profile.port)
                  .arg(profile.sender)
                  .arg(profile.tries));
    return Sent;
}

bool Blat::readBody(const QString& path, QByteArray* body, QString* error) const
{
    QFile file(path);
    if (!file.exists()) {
        *error = QStringLiteral("body file %1 not found").arg(path);
        return false;
    }
    if (file.size() > kMaxBody) {
        *error = QStringLiteral("body file %1 is larger than 25 MB").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read body file %1: %2").arg(path, file.errorString());
        return false;
    }
    *body = file.readAll();
    return true;
}

int Blat::send(const BlatArguments& args, const QString& profilePath, BlatLog& log)
{
    // Surrounding blanks carry nothing; the program sends an empty subject as one blank.
    const QString subject = args.subject.trimmed();
    const QString what = quotedSubject(subject);
    BlatProfile profile;
    QString profileError;
    const bool haveProfile = profile.load(profilePath, &profileError);
    SmtpClient::Job job;
    job.server = args.server.isEmpty() ? profile.server : args.server;
    job.port = args.port > 0 ? args.port : profile.port;
    job.from = MailAddress::bare(args.from.isEmpty() ? profile.sender : args.from);
    job.user = args.user;
    job.password = args.password;
    if (args.user.isEmpty() && !profile.user.isEmpty()) {
        // The stored login goes only to the server it was stored for.
        if (SmtpClient::sameServer(job.server, profile.server)) {
            job.user = profile.user;
            job.password = profile.password;
        } else if (!SmtpClient::holdsLogin(job.server)) {
            log.write(QStringLiteral("Stored login of %1 not used: it belongs to %2, not %3")
                          .arg(profile.user, profile.server, job.server));
        }
    }
    job.caCertFile = args.caCertFile;
    job.totalTimeoutSeconds = std::max(1, args.timeoutSeconds);
    job.connectTimeoutSeconds = std::min(20, job.totalTimeoutSeconds);
    const int tries = std::max(1, args.tries >= 0 ? args.tries : profile.tries);

    if (SmtpClient::holdsLogin(job.server)) {
        log.write(QStringLiteral("NOT SENT %1: ").arg(what) + kLoginInServer);
        return Failed;
    }
    if (job.server.isEmpty() || job.from.isEmpty()) {
        log.write(QStringLiteral("NOT SENT %1: %2")
                      .arg(what, haveProfile ? QStringLiteral("no server or sender in the profile")
                                             : profileError));
        return Failed;
    }
    if (!MailAddress::isValid(job.from)) {
        log.write(
            QStringLiteral("NOT SENT %1: sender \"%2\" is not a mail address").arg(what, job.from));
        return Failed;
    }
    const MailAddress::List to = MailAddress::parseList(args.to);
    const MailAddress::List cc = MailAddress::parseList(args.cc);
    const MailAddress::List bcc = MailAddress::parseList(args.bcc);
    const QStringList invalid = to.invalid + cc.invalid + bcc.invalid;
    if (!invalid.isEmpty())
        log.write(QStringLiteral("Not mail addresses, left out: ") +
                  invalid.join(QStringLiteral(" | ")));
    QStringList envelope;
    for (const QStringList* list : {&to.valid, &cc.valid, &bcc.valid}) {
        for (const QString& address : *list) {
            if (!envelope.contains(address, Qt::CaseInsensitive))
                envelope << address;
        }
    }
    if (envelope.isEmpty()) {
        log.write(QStringLiteral("NOT SENT %1: no usable recipient").arg(what));
        return Failed;
    }
    QString bodyError;
    QByteArray body;
    if (!readBody(args.bodyFile, &body, &bodyError)) {
        log.write(QStringLiteral("NOT SENT %1: %2").arg(what, bodyError));
        return Failed;
    }

    MailMessage message;
    message.from = job.from;
    message.to = to.valid;
    message.cc = cc.valid;
    message.subject = subject;
    message.body = body;
    message.date = QDateTime::currentDateTime();
    message.messageId = MailMessage::newMessageId(MailAddress::domainOf(job.from));
    job.message = message.toBytes();
    job.recipients = envelope;

    const QString target = recipientText(to.valid, cc.valid, bcc.valid);
    for (int attempt = 1; attempt <= tries; ++attempt) {
        const SmtpClient::Result result = SmtpClient().send(job);
        if (args.debug)
            log.writeBlock(QStringLiteral("SMTP dialogue, try %1:").arg(attempt),
                           result.transcript);
        if (result.sent) {
            log.write(QStringLiteral("Sent %1 to %2 via %3 port %4")
                          .arg(what, target, job.server)
                          .arg(job.port));
            if (!result.rejected.isEmpty())
                log.write(QStringLiteral("Refused by the server: ") +
                          result.rejected.join(QLatin1Char(',')));
            return invalid.isEmpty() && result.rejected.isEmpty() ? Sent : PartlySent;
        }
        if (result.deliveryUnknown) {
            log.write(QStringLiteral("DELIVERY UNKNOWN %1 to %2 via %3 port %4: %5 after the "
                                     "whole message was sent, before the server confirmed it; "
                                     "not sent again, as it may have arrived")
                          .arg(what, target, job.server)
                          .arg(job.port)
                          .arg(result.error));
            return DeliveryUnknown;
        }
        const QString reply = result.responseCode > 0
                                  ? QStringLiteral(" (reply %1)").arg(result.responseCode)
                                  : QString();
        if (!result.transient || attempt == tries) {
            log.write(QStringLiteral("NOT SENT %1 to %2 via %3 port %4 after %5 of %6 tries: %7%8")
                          .arg(what, target, job.server)
                          .arg(job.port)
                          .arg(attempt)
                          .arg(tries)
                          .arg(result.error, reply));
            return Failed;
        }
        log.write(QStringLiteral("Try %1 of %2 for %3 failed: %4%5")
                      .arg(attempt)
                      .arg(tries)
                      .arg(what, result.error, reply));
        QThread::sleep(static_cast<unsigned long>(std::max(0, args.retryWaitSeconds) * attempt));
    }
    return Failed;
}
