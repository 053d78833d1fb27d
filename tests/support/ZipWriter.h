#pragma once

// Zip archives made by tests: each member with its bytes (a name ending in
// "/" makes a directory), optionally AES-encrypted with the password "secret",
// all members optionally stored uncompressed.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <zip.h>

struct ZipMember
{
    QString name;
    QByteArray bytes;
    bool encrypted = false;
};

// The members' bytes must live until the call returns (the archive reads them
// when it is closed).
inline bool writeZip(const QString& path, const QList<ZipMember>& members, bool stored = false)
{
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const ZipMember& m : members) {
        zip_int64_t index = -1;
        if (m.name.endsWith(QLatin1Char('/'))) {
            index = zip_dir_add(archive, m.name.toUtf8().constData(), 0);
        } else {
            zip_source_t* source =
                zip_source_buffer(archive, m.bytes.constData(), zip_uint64_t(m.bytes.size()), 0);
            index = zip_file_add(archive, m.name.toUtf8().constData(), source, 0);
            if (index < 0)
                zip_source_free(source);
        }
        const bool made =
            index >= 0 &&
            (!m.encrypted || zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_AES_256,
                                                     "secret") == 0) &&
            (!stored ||
             zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) == 0);
        if (!made) {
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}
