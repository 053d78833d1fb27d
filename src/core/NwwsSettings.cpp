#include "core/NwwsSettings.h"

#include "core/Settings.h"
#include "core/SettingsTable.h"
#include "platform/BoundedRead.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
using Key = Settings::Key;

QString readKey(const SettingsStore& store, Key key)
{
    return Settings::storedText(store, key).trimmed();
}

void writeKey(SettingsStore& store, Key key, const QString& text)
{
    store.write(SettingsTable::entry(key).section, Settings::keyName(key), text);
}
} // namespace

NwwsSettings::NwwsSettings()
    : server(Settings::defaultText(Key::Server)), resource(Settings::defaultText(Key::Resource))
{
}

NwwsSettings NwwsSettings::read(const SettingsStore& store)
{
    NwwsSettings s;
    try {
        s.enabled = ValueConversion::truthValue(readKey(store, Key::Enabled));
    } catch (...) {
        s.enabled = false; // an unreadable switch leaves the feed off
    }
    s.user = readKey(store, Key::User);
    s.caCert = readKey(store, Key::CACert);
    const QString server = readKey(store, Key::Server);
    const QString resource = readKey(store, Key::Resource);
    if (!server.isEmpty())
        s.server = server;
    if (!resource.isEmpty())
        s.resource = resource;
    return s;
}

void NwwsSettings::write(SettingsStore& store) const
{
    writeKey(store, Key::Enabled, ValueConversion::trueFalse(enabled));
    writeKey(store, Key::User, user);
    writeKey(store, Key::Server, server);
    writeKey(store, Key::Resource, resource);
    writeKey(store, Key::CACert, caCert);
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
    QByteArray bytes = BoundedRead::read(file, MaxPasswordBytes);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1); // the line end, not blanks that belong to the password
    const QString password = QString::fromUtf8(bytes);
    if (password.isEmpty())
        *error = QStringLiteral("the password file ") + path + QStringLiteral(" is empty");
    return password;
}
