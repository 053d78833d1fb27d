#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The WMO abbreviated heading of a bulletin, "TTAAii CCCC DDHHMM [BBB]":
// data type and area with a number (TTAAii, "FXUS63"), originating station
// (CCCC, "KGRR"), day and time of origin (DDHHMM, UTC) and an optional
// indicator of a delayed, corrected or amended bulletin (BBB, "RRA", "CCA").
class WmoHeading
{
public:
    // Reads one heading line, fields separated by single blanks, nothing
    // before or after (trim a line read from a file first); nullopt when the
    // line is not of that form.
    static std::optional<WmoHeading> parse(QStringView line);

    const QString& ttaaii() const { return m_ttaaii; }
    const QString& station() const { return m_station; }
    // DDHHMM.
    const QString& time() const { return m_time; }
    // HHMM: the last 4 characters of the time.
    QString hourMinute() const { return m_time.right(4); }
    int day() const { return m_time.left(2).toInt(); }
    // Empty when the heading has none.
    const QString& indicator() const { return m_indicator; }
    // Characters 3-4 of TTAAii ("US").
    QString areaCode() const { return m_ttaaii.mid(2, 2); }
    QString text() const;

private:
    QString m_ttaaii;
    QString m_station;
    QString m_time;
    QString m_indicator;
};
