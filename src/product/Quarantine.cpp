#include "product/Quarantine.h"

#include "platform/FileMove.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace {
bool taken(const QString& path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}
} // namespace

Quarantine::Quarantine(const QString& programDir) : m_directory(programDir + Folder) {}

Quarantine Quarantine::inDirectory(const QString& directory)
{
    Quarantine q;
    q.m_directory = directory;
    if (!directory.isEmpty() && !directory.endsWith(QLatin1Char('/')))
        q.m_directory += QLatin1Char('/');
    return q;
}

QString Quarantine::safeName(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u < 0xA0) || c == QLatin1Char('/') ||
                             c == QLatin1Char('\\') || c.isNonCharacter() || c.isSurrogate();
        out += control ? QLatin1Char('_') : c;
    }
    if (out.isEmpty() || out == QLatin1String(".") || out == QLatin1String(".."))
        out = QStringLiteral("unnamed") + out;
    while (QFile::encodeName(out).size() > MaxNameBytes)
        out.chop(1);
    return out;
}

QString Quarantine::take(const QString& path, const QString& name)
{
    return take(QFile::encodeName(path), name);
}

QString Quarantine::take(const QByteArray& rawPath, const QString& name)
{
    m_error.clear();
    if (m_directory.isEmpty()) {
        m_error = QStringLiteral("no quarantine directory");
        return {};
    }
    QDir().mkpath(m_directory);
    const QString base = safeName(name);
    QString used = base;
    for (int n = 1; taken(m_directory + used); ++n)
        used = base + QLatin1Char('.') + QString::number(n);
    try {
        FileMove::moveRaw(rawPath, QFile::encodeName(m_directory + used));
    } catch (const RuntimeError& error) {
        m_error = error.text();
        return {};
    }
    return used;
}
