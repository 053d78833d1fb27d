#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

// Hourly observation collections built from real reports (tests/data/metar),
// laid out as the broadcast sends them: collectives of start-of-heading, a
// sequence number, the WMO heading, "METAR" and the reports, CR CR LF line
// ends.
class HourlyCollections
{
public:
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static bool writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // The reports of the collectives, each a list of its lines: from a line that
    // starts with a station identifier to the line that ends with "=".
    static QList<QByteArrayList> realReports(const QString& metarDir)
    {
        QList<QByteArrayList> reports;
        for (const char* name : {"collective.txt", "collective2.txt", "first.txt"}) {
            QByteArrayList current;
            for (const QByteArray& line : readFile(metarDir + QLatin1String(name)).split('\n')) {
                const QByteArray text = line.trimmed();
                const bool starts = text.size() > 5 && text.at(4) == ' ' && line.at(0) != ' ' &&
                                    text.left(4).toUpper() == text.left(4) &&
                                    !text.startsWith("SA");
                if (current.isEmpty() && !starts)
                    continue;
                current << QByteArray(line).replace('\r', "");
                if (text.endsWith('=')) {
                    reports << current;
                    current.clear();
                }
            }
        }
        return reports;
    }

    // Station identifiers of a station table (first quoted field of each line).
    static QByteArrayList stationIds(const QString& stationsCsv)
    {
        QByteArrayList ids;
        for (const QByteArray& line : readFile(stationsCsv).split('\n')) {
            if (line.size() > 6 && line.at(0) == '"' && line.at(5) == '"')
                ids << line.mid(1, 4);
        }
        return ids;
    }

    static QByteArray collectiveHead(int sequence, const QByteArray& time)
    {
        return "\x01\r\r\n" + QByteArray::number(sequence) + " \r\r\nSAUS70 KWBC " + time +
               "\r\r\nMETAR\r\r\n";
    }

    // About targetBytes of collectives: the real report bodies in turn, each
    // under the next station identifier of ids; the reports carry dayHour
    // ("081400" style) as their time group.
    static QByteArray largeCollection(const QList<QByteArrayList>& reports,
                                      const QByteArrayList& ids, qsizetype targetBytes,
                                      const QByteArray& dayHour)
    {
        QByteArray out;
        out.reserve(targetBytes + 4096);
        int sequence = 100;
        for (qsizetype i = 0; out.size() < targetBytes; ++i) {
            if (i % 40 == 0) {
                if (i > 0)
                    out += "\x03\r\r\n";
                out += collectiveHead(sequence++, dayHour);
            }
            QByteArrayList lines = reports.at(i % reports.size());
            lines[0] = ids.at(i % ids.size()) + ' ' + dayHour.left(4) + "52Z" + lines[0].mid(12);
            out += lines.join("\r\r\n") + "\r\r\n";
        }
        return out + "\x03\r\r\n";
    }

    // "SAHOURLY." + month, day, hour and minute + ".TXT", as filed on arrival.
    static QString stampedName(int month, int day, int hour, int minute)
    {
        return QStringLiteral("SAHOURLY.%1%2%3%4.TXT")
            .arg(month, 2, 10, QLatin1Char('0'))
            .arg(day, 2, 10, QLatin1Char('0'))
            .arg(hour, 2, 10, QLatin1Char('0'))
            .arg(minute, 2, 10, QLatin1Char('0'));
    }
};
