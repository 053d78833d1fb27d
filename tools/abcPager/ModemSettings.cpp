#include "abcPager/ModemSettings.h"

#include <QFile>

namespace {
void setNumber(const QString& value, int* target, int minimum)
{
    bool ok = false;
    const int number = value.trimmed().toInt(&ok);
    if (ok && number >= minimum)
        *target = number;
}
} // namespace

QString ModemSettings::fileName()
{
    return QStringLiteral("abcPager.ini");
}

void ModemSettings::fromText(const QString& text)
{
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('[')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("port"))
            port = value;
        else if (key == QLatin1String("speed"))
            setNumber(value, &speed, 0);
        else if (key == QLatin1String("init"))
            init = value;
        else if (key == QLatin1String("dial"))
            dialPrefix = value;
        else if (key == QLatin1String("password"))
            password = value.left(6);
        else if (key == QLatin1String("tries"))
            setNumber(value, &tries, 1);
        else if (key == QLatin1String("retrywait"))
            setNumber(value, &retryWaitSeconds, 0);
        else if (key == QLatin1String("connecttimeout"))
            setNumber(value, &connectTimeoutSeconds, 1);
        else if (key == QLatin1String("replytimeout"))
            setNumber(value, &replyTimeoutSeconds, 1);
        else if (key == QLatin1String("guardms"))
            setNumber(value, &guardMs, 0);
        else if (key == QLatin1String("queuewait"))
            setNumber(value, &queueWaitSeconds, 0);
        else if (key == QLatin1String("log"))
            logFile = value;
    }
}

bool ModemSettings::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    fromText(QString::fromUtf8(file.readAll()));
    return true;
}
