#pragma once

#include <QByteArray>
#include <QString>

// The quarantine directory track/bad/ of the program directory: a received
// file that cannot be filed or shown because of an error (a product that
// cannot be read, an image that cannot be decoded) is moved there instead of
// being deleted. Names there are printable and short enough for any file
// system: control characters and path separators become "_", a long name is
// cut, and a taken name gets ".1", ".2" ... (files already there keep their
// names and are never replaced). A link is moved as the link, never followed;
// across file systems the copy is on disk before the original goes.
class Quarantine
{
public:
    static inline const QString Folder = QStringLiteral("track/bad/");
    // Bytes of a quarantine name before its ".N" suffix.
    static constexpr int MaxNameBytes = 200;

    // The quarantine of a program directory (ending in "/").
    explicit Quarantine(const QString& programDir);
    // A quarantine in the directory itself (programDir + Folder in use).
    static Quarantine inDirectory(const QString& directory);
    QString directory() const { return m_directory; }

    // Moves the file at rawPath in; the name used, or empty when the move
    // failed (error() says why).
    QString take(const QByteArray& rawPath, const QString& name);
    QString take(const QString& path, const QString& name);
    QString error() const { return m_error; }

    // The name a file is kept under: control characters become "_", cut to
    // MaxNameBytes bytes of UTF-8.
    static QString safeName(const QString& name);

private:
    Quarantine() = default;

    QString m_directory;
    QString m_error;
};
