#include "ingest/Unzipper.h"

#include "core/AlarmFile.h"
#include "core/IMetarHooks.h"
#include "core/Settings.h"
#include "core/StatusLine.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <zip.h>

namespace {
constexpr qint64 kBufferSize = 64 * 1024;
constexpr int kMaxPasswordBytes = 255;

// Closes the archive without writing anything back.
struct ArchiveGuard
{
    zip_t* archive;
    ~ArchiveGuard() { zip_discard(archive); }
};

struct MemberGuard
{
    zip_file_t* file;
    ~MemberGuard()
    {
        if (file)
            zip_fclose(file);
    }
};

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Replaces target with the finished temporary file in one step.
bool replaceWith(QTemporaryFile& temp, const QString& target)
{
    temp.close();
    QFile::setPermissions(temp.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther);
    std::error_code error;
    std::filesystem::rename(fsPath(temp.fileName()), fsPath(target), error);
    if (error)
        return false;
    temp.setAutoRemove(false);
    return true;
}
} // namespace

Unzipper::Unzipper(const Settings& settings, const AlarmFile& alarms, StatusLine& status,
                   IMetarHooks& metar)
    : m_settings(settings), m_alarms(alarms), m_status(status), m_metar(metar)
{
}

bool Unzipper::Unzipit(const QString& FileN, const QString& FileP)
{
    return extract(FileN, FileP) == 0;
}

int Unzipper::extract(const QString& FileN, const QString& FileP)
{
    const int result = VBUnZip32(FileN, FileP);
    // The hourly observations run whether or not the extraction succeeded.
    if (FileN.contains(QLatin1String("SAHOURLY")) && result != NeedsPassword)
        runHourlyHooks();
    return result;
}

int Unzipper::VBUnZip32(const QString& zipPath, const QString& directory)
{
    const int result = extractAll(zipPath, directory);
    m_status.setText(result == 0 ? QStringLiteral("Unzipped Successfully")
                                 : QStringLiteral("Unzip error #") + QString::number(result));
    return result;
}

void Unzipper::runHourlyHooks()
{
    const Settings& s = m_settings;
    if (s.MetarDL == 1)
        m_metar.GetHourly(s.Metar, true);
    if (m_alarms.metarAlarmDefined()) {
        m_metar.GetHourly(s.Metar, false);
        m_metar.AlarmMetar(QStringLiteral("METAR"));
    }
}

QString Unzipper::targetName(const QString& memberName)
{
    const qsizetype cut = std::max(memberName.lastIndexOf(QLatin1Char('/')),
                                   memberName.lastIndexOf(QLatin1Char('\\')));
    const QString base = memberName.mid(cut + 1);
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        return QString();
    return base;
}

int Unzipper::extractAll(const QString& zipPath, const QString& directory)
{
    m_extracted.clear();
    m_refused.clear();
    const QFileInfo info(zipPath);
    if (!info.isFile())
        return ZIP_ER_NOENT;
    if (info.size() == 0)
        return ZIP_ER_NOZIP;
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return error != 0 ? error : ZIP_ER_OPEN;
    ArchiveGuard guard{archive};
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count <= 0)
        return ZIP_ER_NOZIP; // nothing to extract
    if (count > m_maxMembers)
        return TooManyMembers;
    if (const int declared = checkDeclaredSizes(archive, count); declared != 0)
        return declared;
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const int result = extractMember(archive, i, directory, &total);
        if (result == ArchiveTooLarge || result == MemberTooLarge)
            removeExtracted(directory); // contents larger than declared
        if (result != 0)
            return result;
    }
    return 0;
}

// The sizes the archive declares, before anything is written.
int Unzipper::checkDeclaredSizes(void* handle, qint64 count) const
{
    auto* archive = static_cast<zip_t*>(handle);
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, i, 0, &stat) != 0)
            return zip_error_code_zip(zip_get_error(archive));
        if (!(stat.valid & ZIP_STAT_SIZE))
            continue;
        if (stat.size > quint64(m_memberLimit))
            return MemberTooLarge;
        total += qint64(stat.size);
        if (total > m_totalLimit)
            return ArchiveTooLarge;
    }
    return 0;
}

void Unzipper::removeExtracted(const QString& directory)
{
    for (const QString& name : std::as_const(m_extracted))
        QFile::remove(directory + name);
    m_extracted.clear();
}

// Writes one member through a hidden temporary file in the target directory,
// so that a file of the member's name is either complete or untouched.
int Unzipper::extractMember(void* handle, qint64 index, const QString& directory, qint64* total)
{
    auto* archive = static_cast<zip_t*>(handle);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return zip_error_code_zip(zip_get_error(archive));
    const QString member = QString::fromUtf8(zip_get_name(archive, index, 0));
    const QString name = targetName(member);
    if (name.isEmpty())
        return 0; // directories are not made
    if (name.startsWith(QLatin1Char('.')) ||
        (!m_archiveName.isEmpty() && name.compare(m_archiveName, Qt::CaseInsensitive) == 0)) {
        m_refused << member;
        return 0;
    }

    const bool encrypted =
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
    // A method the library cannot read is refused before opening: its failing
    // open keeps memory it never frees, once per such archive.
    if (encrypted && !zip_encryption_method_supported(stat.encryption_method, 0))
        return ZIP_ER_ENCRNOTSUPP;
    if ((stat.valid & ZIP_STAT_COMP_METHOD) &&
        !zip_compression_method_supported(stat.comp_method, 0))
        return ZIP_ER_COMPNOTSUPP;
    zip_file_t* file = nullptr;
    if (encrypted) {
        if (!m_password)
            return NeedsPassword;
        file = zip_fopen_index_encrypted(
            archive, index, 0, m_password->toLatin1().left(kMaxPasswordBytes).constData());
    } else {
        file = zip_fopen_index(archive, index, 0);
    }
    if (!file)
        return zip_error_code_zip(zip_get_error(archive));
    MemberGuard memberGuard{file};

    QTemporaryFile temp(directory + TempPrefix + QStringLiteral("XXXXXX"));
    if (!temp.open())
        return ZIP_ER_TMPOPEN;
    QByteArray buffer(kBufferSize, Qt::Uninitialized);
    qint64 written = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer.data(), quint64(buffer.size()));
        if (n < 0)
            return zip_error_code_zip(zip_file_get_error(file));
        if (n == 0)
            break;
        written += n;
        *total += n;
        if (written > m_memberLimit)
            return MemberTooLarge;
        if (*total > m_totalLimit)
            return ArchiveTooLarge;
        if (temp.write(buffer.constData(), n) != n)
            return ZIP_ER_WRITE;
    }
    const int closeResult = zip_fclose(file);
    memberGuard.file = nullptr;
    if (closeResult != 0)
        return closeResult;
    if (!replaceWith(temp, directory + name))
        return ZIP_ER_WRITE;
    m_extracted << name;
    return 0;
}
