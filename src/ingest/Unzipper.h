#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class AlarmFile;
class IMetarHooks;
class Settings;
class StatusLine;

// Extraction of compressed products (ZIP archives): every member is written
// directly into the target directory under its base name, replacing a file of
// that name, bytes unchanged. Success is 0, failure the archive library's
// error number (or one of the limits below), shown on the status line.
//
// An archive that would fill the disk is refused before anything is written
// (too many members, too many bytes in all, one member too large); one whose
// actual contents exceed the limits while being extracted is refused and what
// it wrote is removed. A member whose name cannot be a product in the target
// directory (a hidden name, or the archive's own name) is not written and is
// listed in refused(). An encrypted member needs the password set with
// setPassword(); without one the extraction stops with NeedsPassword.
class Unzipper
{
public:
    // Error numbers of the limits.
    static constexpr int MemberTooLarge = 100;
    static constexpr int TooManyMembers = 101;
    static constexpr int ArchiveTooLarge = 102;
    // libzip's "no password provided".
    static constexpr int NeedsPassword = 26;
    static constexpr qint64 DefaultMemberLimit = qint64(200) * 1024 * 1024;
    static constexpr qint64 DefaultTotalLimit = qint64(512) * 1024 * 1024;
    static constexpr qint64 DefaultMaxMembers = 1000;
    static inline const QString PasswordPrompt = QStringLiteral("Please Enter The Password!");
    // Prefix of the hidden file a member is written to before it gets its name.
    static inline const QString TempPrefix = QStringLiteral(".unzip-");

    Unzipper(const Settings& settings, const AlarmFile& alarms, StatusLine& status,
             IMetarHooks& metar);

    // Extracts FileN into the directory FileP (ending in "/"), then runs the
    // hourly METAR hooks for an SAHOURLY collection. True on success.
    bool Unzipit(const QString& FileN, const QString& FileP);
    // The same, returning 0 or the error number. The hourly hooks do not run
    // while the archive waits for its password.
    int extract(const QString& FileN, const QString& FileP);
    // The driver: extracts and shows "Unzipped Successfully" or
    // "Unzip error #N". Returns 0 or the error number.
    int VBUnZip32(const QString& zipPath, const QString& directory);

    // Base names written by the last extraction, in archive order.
    const QStringList& extracted() const { return m_extracted; }
    // Member names the last extraction did not write.
    const QStringList& refused() const { return m_refused; }
    // The password for encrypted members of the next extractions.
    void setPassword(std::optional<QString> password) { m_password = std::move(password); }
    // The name the archive had in the Data-In directory: a member of that
    // name is refused, so that an archive cannot bring itself back.
    void setArchiveName(const QString& name) { m_archiveName = name; }
    void setMemberLimit(qint64 bytes) { m_memberLimit = bytes; }
    void setTotalLimit(qint64 bytes) { m_totalLimit = bytes; }
    void setMaxMembers(qint64 count) { m_maxMembers = count; }

    // The name a member is written under: its base name, or empty when the
    // member is a directory or its name cannot be a file name.
    static QString targetName(const QString& memberName);

private:
    int extractAll(const QString& zipPath, const QString& directory);
    int checkDeclaredSizes(void* archive, qint64 count) const;
    int extractMember(void* archive, qint64 index, const QString& directory, qint64* total);
    void removeExtracted(const QString& directory);
    void runHourlyHooks();

    const Settings& m_settings;
    const AlarmFile& m_alarms;
    StatusLine& m_status;
    IMetarHooks& m_metar;
    QStringList m_extracted;
    QStringList m_refused;
    std::optional<QString> m_password;
    QString m_archiveName;
    qint64 m_memberLimit = DefaultMemberLimit;
    qint64 m_totalLimit = DefaultTotalLimit;
    qint64 m_maxMembers = DefaultMaxMembers;
};
