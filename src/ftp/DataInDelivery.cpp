#include "ftp/DataInDelivery.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr int kAttempts = 100;

std::error_code lastError()
{
    return std::error_code(errno, std::generic_category());
}

QString upper(const QString& name)
{
    return name.toUpper();
}
} // namespace

DataInDelivery::DataInDelivery(QString dataInDir) : m_dir(std::move(dataInDir))
{
    const QStringList names = QDir(m_dir).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& present : names) {
        const qsizetype at = present.indexOf(QLatin1Char('@'));
        const QString name = upper(at < 0 ? present : present.left(at));
        const int version = versionOf(present, name);
        if (version >= 0)
            m_highest[name] = std::max(m_highest.value(name, -1), version);
    }
}

int DataInDelivery::versionOf(const QString& present, const QString& name)
{
    if (present.compare(name, Qt::CaseInsensitive) == 0)
        return 0;
    if (present.size() <= name.size() + 1 || present.at(name.size()) != QLatin1Char('@') ||
        !present.startsWith(name, Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = present.mid(name.size() + 1).toInt(&ok);
    return ok && n > 0 ? n : -1;
}

DataInDelivery::Result DataInDelivery::deliver(const QString& source, const QString& name)
{
    const QString key = upper(name);
    QString from = source;
    QString temp; // a copy in Data-In when the source is on another file system
    std::error_code error;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int highest = m_highest.value(key, -1);
        const QString target =
            highest < 0 ? name : name + QLatin1Char('@') + QString::number(highest + 1);
        error = moveNoReplace(from, m_dir + target);
        if (!error) {
            m_highest[key] = highest + 1;
            if (!temp.isEmpty())
                QFile::remove(source);
            return Result{m_dir + target, {}};
        }
        if (error == std::errc::file_exists) {
            m_highest[key] = highest + 1; // taken meanwhile: the next suffix
            continue;
        }
        if (error == std::errc::cross_device_link && temp.isEmpty()) {
            error = copyIn(source, &temp);
            if (error)
                break;
            from = temp;
            continue;
        }
        break;
    }
    if (!temp.isEmpty())
        QFile::remove(temp);
    return Result{QString(), error};
}

// Renames from to to, failing with file_exists when to is there.
std::error_code DataInDelivery::moveNoReplace(const QString& from, const QString& to) const
{
    const QByteArray f = QFile::encodeName(from);
    const QByteArray t = QFile::encodeName(to);
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, f.constData(), AT_FDCWD, t.constData(), RENAME_NOREPLACE) == 0)
        return {};
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return lastError();
#endif
#ifdef Q_OS_UNIX
    // A file system without that rename: a hard link fails when the name exists.
    if (::link(f.constData(), t.constData()) != 0)
        return lastError();
    ::unlink(f.constData());
    return {};
#else
    if (QFile::exists(to))
        return std::make_error_code(std::errc::file_exists);
    return std::rename(f.constData(), t.constData()) == 0 ? std::error_code() : lastError();
#endif
}

// Copies source whole into a hidden file of Data-In (the program does not
// take hidden files), named in temp.
std::error_code DataInDelivery::copyIn(const QString& source, QString* temp) const
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return std::make_error_code(std::errc::io_error);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        *temp = m_dir + QStringLiteral(".ftp-") +
                QString::number(QRandomGenerator::global()->generate64(), 36);
        QFile out(*temp);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFile::exists(*temp))
                continue;
            break;
        }
        QByteArray buffer;
        bool ok = true;
        while (ok && !(buffer = in.read(64 * 1024)).isEmpty())
            ok = out.write(buffer) == buffer.size();
        ok = ok && in.error() == QFileDevice::NoError && out.flush();
#ifdef Q_OS_UNIX
        ok = ok && ::fsync(out.handle()) == 0;
#endif
        out.close();
        if (ok && out.error() == QFileDevice::NoError)
            return {};
        QFile::remove(*temp);
        break;
    }
    temp->clear();
    return std::make_error_code(std::errc::io_error);
}
