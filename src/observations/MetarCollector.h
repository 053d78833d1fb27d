#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// Collects the reports of chosen stations from the text of an hourly
// observation file. A report starts on any line that contains one of the
// station identifiers (plain, case-sensitive substring test) and takes the
// following lines until the gathered text ends with "="; its lines are joined
// without separator and the report is followed by CR LF. After a report, the
// remaining identifiers are tested against the last line read, so one report
// can be collected twice. Lines end at CR, LF or CR LF.
class MetarCollector
{
public:
    // The station list upper-cased and split at ","; the pieces are not
    // trimmed (" KMDW" keeps its blank). Empty pieces, which would start a
    // report on every line, are left out.
    static QStringList stationIdentifiers(const QString& stationList);

    explicit MetarCollector(const QStringList& identifiers);

    // True when no identifier can match (none given, or none in 8-bit text).
    bool isEmpty() const { return m_identifiers.empty(); }

    // Appends the reports found in text to result. Returns false when the
    // text ends inside a report; what was gathered of it is appended all the
    // same, followed by CR LF.
    bool collect(std::string_view text, QByteArray* result) const;

private:
    std::vector<std::string> m_identifiers;
};
