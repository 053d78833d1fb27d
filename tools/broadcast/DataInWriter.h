#pragma once

#include <QByteArray>
#include <QString>

// Puts completed files into the Data-In directory whole: the bytes go to a
// hidden temporary file there first (the program does not list hidden
// files), which is then renamed to the product's name. When a file of that
// name still waits to be taken, the new one becomes NAME.EXT@1, @2 ... so
// that nothing is overwritten and the versions are taken in order.
class DataInWriter
{
public:
    struct Result
    {
        bool ok = false;
        QString path;  // the file written
        QString error; // why it failed
    };

    explicit DataInWriter(QString directory);

    Result write(const QString& fileName, const QByteArray& bytes) const;
    QString directory() const { return m_directory; }

    // The name for a new file when names (of the directory) are present:
    // fileName, or fileName + "@" + one more than the highest waiting suffix.
    static QString freeName(const QString& fileName, const QStringList& present);

private:
    QString m_directory;
};
