#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// Puts completed files into the Data-In directory whole: the bytes go to a
// named hidden temporary file there first (the program does not list hidden
// files), which is then renamed to the product's name, so that a directory
// watch sees the name arrive by a move, complete. When a file of that name
// still waits to be taken, the new one becomes NAME.EXT@1, @2 ... so that
// nothing is overwritten and the versions are taken in order. The directory
// is read once; after that the writer remembers the highest version of each
// name it knows and only looks whether that one still waits.
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
    // How often the whole directory was read (once, normally).
    int directoryListings() const { return m_listings; }

    // The name for a new file when names (of the directory) are present:
    // fileName, or fileName + "@" + one more than the highest waiting suffix.
    static QString freeName(const QString& fileName, const QStringList& present);

private:
    static constexpr int MaxKnownNames = 50000;

    QString temporaryFile(const QString& fileName, const QByteArray& bytes, QString* error) const;
    bool moveIntoPlace(const QString& from, const QString& fileName, QString* path,
                       QString* error) const;
    int firstCandidate(const QString& fileName) const;
    void readDirectory() const;

    QString m_directory;
    mutable QHash<QString, int> m_highest; // NAME.EXT upper case -> highest version waiting
    mutable bool m_read = false;
    mutable int m_listings = 0;
};
