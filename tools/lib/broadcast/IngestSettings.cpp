#include "IngestSettings.h"

#include "core/Settings.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/ValueConversion.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString withSlash(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}
} // namespace

QString IngestSettings::programDirectory()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return withSlash(base) + QStringLiteral("vantorel/");
}

IngestSettings IngestSettings::read(const SettingsStore& store)
{
    IngestSettings r;
    Settings s;
    try {
        s.readStartupKeys(store, &r.problems);
    } catch (const RuntimeError& e) {
        // One unreadable key elsewhere must not stop the engine: take the
        // keys it needs one by one.
        r.problems << QStringLiteral("Settings: ") + e.text();
        const QString config = QStringLiteral("Config");
        s.TransferPath = store.read(config, QStringLiteral("TransferPath"), s.TransferPath);
        s.EMail0 = store.read(config, QStringLiteral("EMail0"), s.EMail0);
        s.PortNum = ValueConversion::lenientInt16(
            store.read(config, QStringLiteral("PortNum"), QStringLiteral("1")));
        s.Baud = ValueConversion::lenientInt16(
            store.read(config, QStringLiteral("Baud"), QStringLiteral("9600")));
    }
    r.transferPath = s.TransferPath == QLatin1String("abcd") || s.TransferPath.isEmpty()
                         ? programDirectory() + QStringLiteral("track/transfer/")
                         : withSlash(s.TransferPath);
    r.email = s.EMail0;
    r.portNum = s.PortNum;
    r.baud = s.Baud;
    return r;
}
