#include "core/NwwsSettings.h"

#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kSection = QStringLiteral("NWWS");

QString readKey(const SettingsStore& store, const char* key, const QString& fallback)
{
    return store.read(kSection, QString::fromLatin1(key), fallback).trimmed();
}
} // namespace

NwwsSettings NwwsSettings::read(const SettingsStore& store)
{
    NwwsSettings s;
    const QString enabled = readKey(store, "Enabled", QStringLiteral("False"));
    try {
        s.enabled = ValueConversion::truthValue(enabled);
    } catch (...) {
        s.enabled = false; // an unreadable switch leaves the feed off
    }
    s.user = readKey(store, "User", s.user);
    s.server = readKey(store, "Server", s.server);
    s.resource = readKey(store, "Resource", s.resource);
    s.caCert = readKey(store, "CACert", s.caCert);
    if (s.server.isEmpty())
        s.server = NwwsSettings().server;
    if (s.resource.isEmpty())
        s.resource = NwwsSettings().resource;
    return s;
}

void NwwsSettings::write(SettingsStore& store) const
{
    store.write(kSection, QStringLiteral("Enabled"), ValueConversion::trueFalse(enabled));
    store.write(kSection, QStringLiteral("User"), user);
    store.write(kSection, QStringLiteral("Server"), server);
    store.write(kSection, QStringLiteral("Resource"), resource);
    store.write(kSection, QStringLiteral("CACert"), caCert);
}

QString NwwsSettings::host() const
{
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    return (colon < 0 ? server : server.left(colon)).trimmed();
}

quint16 NwwsSettings::port() const
{
    const qsizetype colon = server.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return DefaultPort;
    bool ok = false;
    const uint port = server.mid(colon + 1).trimmed().toUInt(&ok);
    return ok && port > 0 && port <= 65535 ? static_cast<quint16>(port) : DefaultPort;
}

QString NwwsSettings::passwordPath(const QString& programDir)
{
    QString dir = programDir;
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("nwws-password.txt");
}

bool NwwsSettings::writePassword(const QString& programDir, const QString& password, QString* error)
{
    QDir().mkpath(programDir);
    QSaveFile file(passwordPath(programDir));
    // the permissions are set before the password goes in
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(password.toUtf8() + '\n') < 0 || !file.commit()) {
        *error = QStringLiteral("cannot write ") + file.fileName() + QStringLiteral(": ") +
                 file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

QString NwwsSettings::readPassword(const QString& programDir, QString* error)
{
    const QString path = passwordPath(programDir);
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("no password file ") + path;
        return {};
    }
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (info.permissions() & others) {
        *error = QStringLiteral("the password file ") + path +
                 QStringLiteral(" can be read by others; make it private (chmod 600) or enter "
                                "the password again in Configuration");
        return {};
    }
    QFile file(path);
    if (info.size() > MaxPasswordBytes || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the password file ") + path;
        return {};
    }
    QByteArray bytes = file.read(MaxPasswordBytes);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1); // the line end, not blanks that belong to the password
    const QString password = QString::fromUtf8(bytes);
    if (password.isEmpty())
        *error = QStringLiteral("the password file ") + path + QStringLiteral(" is empty");
    return password;
}
