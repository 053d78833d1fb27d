#include "DataInWriter.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr int kNameAttempts = 100;

// The suffix number of a waiting version: 0 for the plain name, n for
// NAME.EXT@n, -1 for other names.
int versionOf(const QString& name, const QString& fileName)
{
    if (name.compare(fileName, Qt::CaseInsensitive) == 0)
        return 0;
    if (name.size() <= fileName.size() + 1 || name.at(fileName.size()) != QLatin1Char('@') ||
        !name.startsWith(fileName, Qt::CaseInsensitive))
        return -1;
    bool ok = false;
    const int n = name.mid(fileName.size() + 1).toInt(&ok);
    return ok && n > 0 ? n : -1;
}

QString versionName(const QString& fileName, int version)
{
    return version == 0 ? fileName : fileName + QLatin1Char('@') + QString::number(version);
}

// rename(2) that never replaces: false with errno EEXIST when the name is
// taken. Where the file system cannot refuse by itself, the name is looked
// at first.
bool renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (::access(to.constData(), F_OK) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}
} // namespace

DataInWriter::DataInWriter(QString directory) : m_directory(std::move(directory))
{
    if (!m_directory.isEmpty() && !m_directory.endsWith(QLatin1Char('/')))
        m_directory += QLatin1Char('/');
}

QString DataInWriter::freeName(const QString& fileName, const QStringList& present)
{
    int highest = -1;
    for (const QString& name : present)
        highest = std::max(highest, versionOf(name, fileName));
    return highest < 0 ? fileName : versionName(fileName, highest + 1);
}

DataInWriter::Result DataInWriter::write(const QString& fileName, const QByteArray& bytes) const
{
    Result r;
    if (!QDir().mkpath(m_directory)) {
        r.error = QStringLiteral("cannot create the Data-In directory ") + m_directory;
        return r;
    }
    const QString temp = temporaryFile(fileName, bytes, &r.error);
    if (temp.isEmpty())
        return r;
    r.ok = moveIntoPlace(temp, fileName, &r.path, &r.error);
    if (!r.ok)
        QFile::remove(temp);
    return r;
}

// The bytes in a new hidden file of the directory, on disk: its path, or
// empty with the reason.
QString DataInWriter::temporaryFile(const QString& fileName, const QByteArray& bytes,
                                    QString* error) const
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        QFile file(m_directory + QStringLiteral(".incoming-") + fileName + QLatin1Char('-') +
                   QString::number(QRandomGenerator::global()->generate(), 36));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            *error = QStringLiteral("cannot create a file in ") + m_directory +
                     QStringLiteral(": ") + file.errorString();
            return {};
        }
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                            QFile::ReadOther);
        const bool written =
            file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
        if (!written) {
            *error = QStringLiteral("cannot write ") + fileName + QStringLiteral(": ") +
                     (file.error() != QFileDevice::NoError
                          ? file.errorString()
                          : QString::fromLocal8Bit(std::strerror(errno)));
            file.close();
            file.remove();
            return {};
        }
        file.close();
        return file.fileName();
    }
    *error = QStringLiteral("no free temporary name in ") + m_directory;
    return {};
}

bool DataInWriter::moveIntoPlace(const QString& from, const QString& fileName, QString* path,
                                 QString* error) const
{
    const QByteArray source = QFile::encodeName(from);
    int version = firstCandidate(fileName);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt, ++version) {
        const QString target = m_directory + versionName(fileName, version);
        if (renameNoReplace(source, QFile::encodeName(target))) {
            m_highest.insert(fileName.toUpper(), version);
            *path = target;
            return true;
        }
        if (errno != EEXIST)
            break;
        // taken meanwhile (by another writer): the next suffix
    }
    *error = QStringLiteral("cannot rename into ") + m_directory + fileName + QStringLiteral(": ") +
             QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

// One more than the highest version known to wait; when that one has been
// taken meanwhile, so have the older ones (the program takes them in order),
// and the plain name is free again.
int DataInWriter::firstCandidate(const QString& fileName) const
{
    if (!m_read || m_highest.size() > MaxKnownNames)
        readDirectory();
    const QString key = fileName.toUpper();
    const auto it = m_highest.constFind(key);
    if (it == m_highest.constEnd())
        return 0;
    if (QFile::exists(m_directory + versionName(fileName, *it)))
        return *it + 1;
    m_highest.remove(key);
    return 0;
}

void DataInWriter::readDirectory() const
{
    ++m_listings;
    m_read = true;
    m_highest.clear();
    const QStringList names = QDir(m_directory).entryList(QDir::Files | QDir::System);
    for (const QString& name : names) {
        const qsizetype at = name.lastIndexOf(QLatin1Char('@'));
        bool ok = false;
        const int n = at > 0 ? name.mid(at + 1).toInt(&ok) : 0;
        const bool version = ok && n > 0;
        const QString key = (version ? name.left(at) : name).toUpper();
        m_highest[key] = std::max(m_highest.value(key, -1), version ? n : 0);
    }
}
