#include "platform/CreateDir.h"

#include <QDir>
#include <QStringList>

QString CreateDir::GetPart(QString& startStrg, QChar delimiter)
{
    const qsizetype at = startStrg.indexOf(delimiter);
    QString piece;
    if (at < 0) {
        piece = startStrg;
        startStrg.clear();
    } else {
        piece = startStrg.left(at + 1);
        startStrg.remove(0, at + 1);
    }
    return piece;
}

int CreateDir::CreateByPath(const QString& pathDir)
{
    const QChar sep = QLatin1Char('/');
    QString p = pathDir;
    if (!p.endsWith(sep))
        p += sep;
    // The root ("/") plays the part of a drive: it is put in front of the first piece.
    QString drive;
    if (p.startsWith(sep))
        drive = GetPart(p, sep);
    QStringList pieces;
    while (!p.isEmpty())
        pieces << GetPart(p, sep);
    if (!pieces.isEmpty())
        pieces.first().prepend(drive);
    QString sofar;
    for (const QString& piece : pieces) {
        sofar += piece;
        QDir().mkdir(sofar);
    }
    return static_cast<int>(pieces.size());
}
