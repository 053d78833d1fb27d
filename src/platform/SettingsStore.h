#pragma once

#include <QString>
#include <memory>

class QSettings;

// The per-user key-value store shared by the program and its companion
// programs: sections of keys holding text values, kept in an INI file.
class SettingsStore
{
public:
    // The store at its fixed per-user location (~/.config/Vantorel-v15.conf).
    SettingsStore();
    // A store kept in the given INI file (tests, tools).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    // The stored text, or defaultValue when the key is absent. Never creates a key.
    QString read(const QString& section, const QString& key, const QString& defaultValue) const;
    void write(const QString& section, const QString& key, const QString& value);
    bool contains(const QString& section, const QString& key) const;
    // Pushes pending writes to disk; true when the file could be written.
    bool sync();
    // The message for a failed sync, naming the file.
    QString writeFailure() const;
    QString fileName() const;

    static QString defaultPath();

private:
    std::unique_ptr<QSettings> m_settings;
};
