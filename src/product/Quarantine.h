#pragma once

#include <QByteArray>
#include <QString>

// The quarantine directory track/bad/ of the program directory: a product
// that cannot be filed because of an error is moved there instead of being
// deleted. Names there are printable and short enough for any file system
// (a long name is cut, a taken name gets ".1", ".2" ...); a link is moved as
// the link, never followed.
class Quarantine
{
public:
    static inline const QString Folder = QStringLiteral("track/bad/");
    // Bytes of a quarantine name before its ".N" suffix.
    static constexpr int MaxNameBytes = 200;

    explicit Quarantine(QString programDir);
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
    QString m_directory;
    QString m_error;
};
