#include "ingest/Unzipper.h"

#include "core/AlarmFile.h"
#include "core/IMetarHooks.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Prompter.h"

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
                   IPrompter& prompter, IMetarHooks& metar)
    : m_settings(settings), m_alarms(alarms), m_status(status), m_prompter(prompter), m_metar(metar)
{
}

bool Unzipper::Unzipit(const QString& FileN, const QString& FileP)
{
    const int result = VBUnZip32(FileN, FileP);
    // The hourly observations run whether or not the extraction succeeded.
    if (FileN.contains(QLatin1String("SAHOURLY")))
        runHourlyHooks();
    return result == 0;
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
    m_archivePassword.reset();
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
    for (zip_int64_t i = 0; i < count; ++i) {
        const int result = extractMember(archive, i, directory);
        if (result != 0)
            return result;
    }
    return 0;
}

// Writes one member through a hidden temporary file in the target directory,
// so that a file of the member's name is either complete or untouched.
int Unzipper::extractMember(void* handle, qint64 index, const QString& directory)
{
    auto* archive = static_cast<zip_t*>(handle);
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return zip_error_code_zip(zip_get_error(archive));
    const QString name = targetName(QString::fromUtf8(zip_get_name(archive, index, 0)));
    if (name.isEmpty())
        return 0; // directories are not made
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > quint64(m_memberLimit))
        return MemberTooLarge;

    const bool encrypted =
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE;
    zip_file_t* member = nullptr;
    if (encrypted) {
        const std::optional<QString> secret = password();
        if (!secret)
            return ZIP_ER_NOPASSWD;
        member = zip_fopen_index_encrypted(archive, index, 0,
                                           secret->toLatin1().left(kMaxPasswordBytes).constData());
    } else {
        member = zip_fopen_index(archive, index, 0);
    }
    if (!member)
        return zip_error_code_zip(zip_get_error(archive));
    MemberGuard memberGuard{member};

    QTemporaryFile temp(directory + QStringLiteral(".unzip-XXXXXX"));
    if (!temp.open())
        return ZIP_ER_TMPOPEN;
    QByteArray buffer(kBufferSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(member, buffer.data(), quint64(buffer.size()));
        if (n < 0)
            return zip_error_code_zip(zip_file_get_error(member));
        if (n == 0)
            break;
        total += n;
        if (total > m_memberLimit)
            return MemberTooLarge;
        if (temp.write(buffer.constData(), n) != n)
            return ZIP_ER_WRITE;
    }
    const int closeResult = zip_fclose(member);
    memberGuard.file = nullptr;
    if (closeResult != 0)
        return closeResult;
    if (!replaceWith(temp, directory + name))
        return ZIP_ER_WRITE;
    m_extracted << name;
    return 0;
}

// Asked at most once per archive; a refused request refuses all later ones.
std::optional<QString> Unzipper::password()
{
    if (m_archivePassword)
        return m_archivePassword;
    if (m_passwordCancelled)
        return std::nullopt;
    const std::optional<QString> answer = m_prompter.input(PasswordPrompt, QString(), QString());
    if (!answer || answer->isEmpty()) {
        m_passwordCancelled = true;
        return std::nullopt;
    }
    m_archivePassword = *answer;
    return m_archivePassword;
}
