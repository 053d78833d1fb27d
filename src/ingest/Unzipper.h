#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class AlarmFile;
class IMetarHooks;
class IPrompter;
class Settings;
class StatusLine;

// Extraction of compressed products (ZIP archives): every member is written
// directly into the target directory under its base name, replacing a file of
// that name, bytes unchanged. Success is 0, failure the archive library's
// error number (or MemberTooLarge), shown on the status line.
class Unzipper
{
public:
    // Error number for a member whose uncompressed size exceeds the limit.
    static constexpr int MemberTooLarge = 100;
    static constexpr qint64 DefaultMemberLimit = qint64(200) * 1024 * 1024;
    static inline const QString PasswordPrompt = QStringLiteral("Please Enter The Password!");

    Unzipper(const Settings& settings, const AlarmFile& alarms, StatusLine& status,
             IPrompter& prompter, IMetarHooks& metar);

    // Extracts FileN into the directory FileP (ending in "/"), then runs the
    // hourly METAR hooks for an SAHOURLY collection. True on success.
    bool Unzipit(const QString& FileN, const QString& FileP);
    // The driver: extracts and shows "Unzipped Successfully" or
    // "Unzip error #N". Returns 0 or the error number.
    int VBUnZip32(const QString& zipPath, const QString& directory);

    // Base names written by the last extraction, in archive order.
    const QStringList& extracted() const { return m_extracted; }
    // A password request was refused; later requests fail without asking.
    bool passwordCancelled() const { return m_passwordCancelled; }
    void setMemberLimit(qint64 bytes) { m_memberLimit = bytes; }

    // The name a member is written under: its base name, or empty when the
    // member is a directory or its name cannot be a file name.
    static QString targetName(const QString& memberName);

private:
    int extractAll(const QString& zipPath, const QString& directory);
    int extractMember(void* archive, qint64 index, const QString& directory);
    std::optional<QString> password();
    void runHourlyHooks();

    const Settings& m_settings;
    const AlarmFile& m_alarms;
    StatusLine& m_status;
    IPrompter& m_prompter;
    IMetarHooks& m_metar;
    QStringList m_extracted;
    std::optional<QString> m_archivePassword; // asked once per archive
    bool m_passwordCancelled = false;
    qint64 m_memberLimit = DefaultMemberLimit;
};
