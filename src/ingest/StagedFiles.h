#pragma once

#include <QString>
#include <QStringList>

// A product on its way from the Data-In directory into a store directory
// waits there under a hidden name (".filing-" + its Data-In name) until it is
// complete under its final name. When the program dies in between, the next
// run puts what is still staged back into the Data-In directory, where it is
// filed again instead of being lost, and removes the temporary files of
// copies and extractions that never finished.
class StagedFiles
{
public:
    static inline const QString Prefix = QStringLiteral(".filing-");

    // Where a file of the Data-In directory waits in a store directory.
    static QString stagedPath(const QString& storeDir, const QString& dataInName)
    {
        return storeDir + Prefix + dataInName;
    }

    // Moves staged files of storeDirs back into dataIn (a file whose copy is
    // still there is not duplicated) and deletes unfinished temporary files in
    // tempDirs. Returns the Data-In names put back; problems go to errors.
    static QStringList recover(const QStringList& storeDirs, const QStringList& tempDirs,
                               const QString& dataIn, QStringList* errors);

private:
    static QString freeName(const QString& dataIn, const QString& name);
};
