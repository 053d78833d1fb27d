#pragma once

#include <QHash>
#include <QString>
#include <system_error>

// Moves complete files into the Data-In directory without ever replacing a
// file there. A product whose name still waits to be taken arrives beside it
// as NAME.EXT@n, one more than the highest suffix waiting (the engines'
// rule), so that the program takes the versions in order. The directory is
// listed once; a name taken meanwhile by another writer is detected by the
// move itself, which then tries the next suffix.
class DataInDelivery
{
public:
    struct Result
    {
        QString path; // where the file went, empty on failure
        std::error_code error;
    };

    // dataInDir ends in "/".
    explicit DataInDelivery(QString dataInDir);

    // Moves source (a finished file, possibly on another file system) into
    // Data-In as name or name@n.
    Result deliver(const QString& source, const QString& name);

    // The suffix number of a waiting version of name: 0 for the name itself,
    // n for name@n, -1 for any other file name.
    static int versionOf(const QString& present, const QString& name);

private:
    std::error_code moveNoReplace(const QString& from, const QString& to) const;
    std::error_code copyIn(const QString& source, QString* temp) const;

    QString m_dir;
    QHash<QString, int> m_highest; // upper-cased name -> highest version waiting
};
