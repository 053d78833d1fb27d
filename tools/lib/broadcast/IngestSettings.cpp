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
        using Key = Settings::Key;
        s.TransferPath = Settings::storedText(store, Key::TransferPath);
        s.EMail0 = Settings::storedText(store, Key::EMail0);
        s.PortNum = ValueConversion::lenientInt16(Settings::storedText(store, Key::PortNum));
        s.Baud = ValueConversion::lenientInt16(Settings::storedText(store, Key::Baud));
    }
    r.transferPath = s.TransferPath == QLatin1String("abcd") || s.TransferPath.isEmpty()
                         ? programDirectory() + QStringLiteral("track/transfer/")
                         : withSlash(s.TransferPath);
    r.email = s.EMail0;
    r.portNum = s.PortNum;
    r.baud = s.Baud;
    return r;
}
