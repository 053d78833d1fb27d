#include "platform/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {
QString keyPath(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}
} // namespace

SettingsStore::SettingsStore() : SettingsStore(defaultPath()) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::read(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const QVariant value = m_settings->value(keyPath(section, key));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with an unquoted comma comes back as a list.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void SettingsStore::write(const QString& section, const QString& key, const QString& value)
{
    m_settings->setValue(keyPath(section, key), value);
}

bool SettingsStore::contains(const QString& section, const QString& key) const
{
    return m_settings->contains(keyPath(section, key));
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::writeFailure() const
{
    return QStringLiteral("The settings could not be saved in ") + fileName() +
           QStringLiteral(" (no permission to write there, or the disk is full).");
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

QString SettingsStore::defaultPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.config");
    return dir + QStringLiteral("/Vantorel-v15.conf");
}
