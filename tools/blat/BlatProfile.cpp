#include "blat/BlatProfile.h"

#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>

namespace {
// A value stored on one line: line ends would start a new key.
QString oneLine(const QString& value)
{
    QString line = value;
    line.remove(QLatin1Char('\r'));
    line.remove(QLatin1Char('\n'));
    return line;
}

int positiveOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value > 0 ? value : fallback;
}
} // namespace

QString BlatProfile::fileName()
{
    return QStringLiteral("blat-profile.ini");
}

QByteArray BlatProfile::toText() const
{
    QString text = QStringLiteral("# Mail profile written by \"blat -install\".\n");
    text += QStringLiteral("server=") + oneLine(server) + QLatin1Char('\n');
    text += QStringLiteral("sender=") + oneLine(sender) + QLatin1Char('\n');
    text += QStringLiteral("tries=") + QString::number(tries) + QLatin1Char('\n');
    text += QStringLiteral("port=") + QString::number(port) + QLatin1Char('\n');
    text += QStringLiteral("user=") + oneLine(user) + QLatin1Char('\n');
    text += QStringLiteral("password=") + oneLine(password) + QLatin1Char('\n');
    return text.toUtf8();
}

void BlatProfile::fromText(const QByteArray& text)
{
    *this = BlatProfile();
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('#')) || !line.contains(QLatin1Char('=')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed().toLower();
        // A lone carriage return inside a value is dropped as on writing, so
        // that what is read is what a rewrite of the profile keeps.
        const QString value = oneLine(line.mid(equals + 1));
        if (key == QLatin1String("server"))
            server = value.trimmed();
        else if (key == QLatin1String("sender"))
            sender = value.trimmed();
        else if (key == QLatin1String("tries"))
            tries = positiveOr(value, DefaultTries);
        else if (key == QLatin1String("port"))
            port = positiveOr(value, DefaultPort);
        else if (key == QLatin1String("user"))
            user = value;
        else if (key == QLatin1String("password"))
            password = value;
    }
}

bool BlatProfile::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists()) {
        *error =
            QStringLiteral("no mail profile in %1 (run: blat -install server sender)").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    fromText(file.readAll());
    return true;
}

bool BlatProfile::save(const QString& path, QString* error) const
{
    // The profile may hold a password: the file is created owner-only (no
    // moment in which another user could open it) and stays so.
    QSaveFile file(path);
    const mode_t oldMask = ::umask(S_IRWXG | S_IRWXO);
    const bool opened = file.open(QIODevice::WriteOnly);
    ::umask(oldMask);
    if (!opened) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(toText());
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
