#include "DataInWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
constexpr int kRenameAttempts = 100;

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
    return highest < 0 ? fileName : fileName + QLatin1Char('@') + QString::number(highest + 1);
}

DataInWriter::Result DataInWriter::write(const QString& fileName, const QByteArray& bytes) const
{
    Result r;
    if (!QDir().mkpath(m_directory)) {
        r.error = QStringLiteral("cannot create the Data-In directory ") + m_directory;
        return r;
    }
    QTemporaryFile temp(m_directory + QStringLiteral(".incoming-XXXXXX"));
    if (!temp.open()) {
        r.error = QStringLiteral("cannot create a file in ") + m_directory + QStringLiteral(": ") +
                  temp.errorString();
        return r;
    }
    if (temp.write(bytes) != bytes.size() || !temp.flush()) {
        r.error =
            QStringLiteral("cannot write ") + fileName + QStringLiteral(": ") + temp.errorString();
        return r;
    }
#ifdef Q_OS_UNIX
    ::fsync(temp.handle());
#endif
    temp.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    const QDir dir(m_directory);
    for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
        const QString name =
            freeName(fileName, dir.entryList(QStringList{fileName + QStringLiteral("*")},
                                             QDir::Files | QDir::System));
        // rename never replaces an existing file: a name taken meanwhile is
        // simply tried again with the next suffix
        if (temp.rename(m_directory + name)) {
            temp.setAutoRemove(false);
            r.ok = true;
            r.path = m_directory + name;
            return r;
        }
        if (!QFile::exists(m_directory + name))
            break;
    }
    r.error = QStringLiteral("cannot rename into ") + m_directory + fileName +
              QStringLiteral(": ") + temp.errorString();
    return r;
}
