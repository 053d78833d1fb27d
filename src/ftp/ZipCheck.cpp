#include "ftp/ZipCheck.h"

#include <QByteArray>
#include <QFile>
#include <zip.h>

namespace {
struct ArchiveGuard
{
    zip_t* archive;
    ~ArchiveGuard() { zip_discard(archive); }
};

struct MemberGuard
{
    zip_file_t* file;
    ~MemberGuard() { zip_fclose(file); }
};

ZipCheck::Result broken(int error, const QString& problem)
{
    return ZipCheck::Result{false, error, problem};
}

QString errorText(int error)
{
    zip_error_t e;
    zip_error_init_with_code(&e, error);
    const QString text = QString::fromUtf8(zip_error_strerror(&e));
    zip_error_fini(&e);
    return text;
}

// Reads one member to its end; the library compares size and CRC there.
ZipCheck::Result readMember(zip_t* archive, zip_uint64_t index, qint64* total,
                            const std::atomic_bool* cancel, qint64 maxBytes)
{
    const QString name = QString::fromUtf8(zip_get_name(archive, index, 0));
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0)
        return broken(zip_error_code_zip(zip_get_error(archive)), name);
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        return broken(ZIP_ER_NOPASSWD, name + QStringLiteral(" is encrypted"));
    if ((stat.valid & ZIP_STAT_COMP_METHOD) &&
        !zip_compression_method_supported(stat.comp_method, 0))
        return broken(ZIP_ER_COMPNOTSUPP,
                      name + QStringLiteral(": ") + errorText(ZIP_ER_COMPNOTSUPP));
    zip_file_t* file = zip_fopen_index(archive, index, 0);
    if (!file) {
        const int error = zip_error_code_zip(zip_get_error(archive));
        return broken(error, name + QStringLiteral(": ") + errorText(error));
    }
    MemberGuard guard{file};
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (;;) {
        if (cancel && cancel->load())
            return broken(ZIP_ER_CANCELLED, QStringLiteral("cancelled"));
        const zip_int64_t n = zip_fread(file, buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            const int error = zip_error_code_zip(zip_file_get_error(file));
            return broken(error, name + QStringLiteral(": ") + errorText(error));
        }
        if (n == 0)
            break;
        *total += n;
        if (*total > maxBytes)
            return broken(ZIP_ER_INCONS,
                          QStringLiteral("contents larger than %1 bytes").arg(maxBytes));
    }
    return ZipCheck::Result{true, 0, QString()};
}
} // namespace

ZipCheck::Result ZipCheck::check(const QString& path, const std::atomic_bool* cancel,
                                 qint64 maxMembers, qint64 maxBytes)
{
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!archive)
        return broken(error, QStringLiteral("not a whole ZIP archive (%1)").arg(errorText(error)));
    ArchiveGuard guard{archive};
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count <= 0)
        return broken(ZIP_ER_NOZIP, QStringLiteral("the archive holds nothing"));
    if (count > maxMembers)
        return broken(ZIP_ER_INCONS, QStringLiteral("more than %1 members").arg(maxMembers));
    qint64 total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        const Result member = readMember(archive, zip_uint64_t(i), &total, cancel, maxBytes);
        if (!member.whole)
            return member;
    }
    return Result{true, 0, QString()};
}
