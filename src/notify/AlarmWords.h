#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <optional>

class ReferenceTables;

// What an alarm is about, in words: the event ("Tornado Warning") from the
// product's VTEC string, or its identifier and description when it has none;
// the places by name from its UGC codes ("Forrest, Lamar and Marion counties,
// MS"); and until when, in local time. Used for desktop notifications,
// spoken alarms and, when chosen, mail and page subjects.
class AlarmWords
{
public:
    // Names listed before the rest is only counted.
    static constexpr int MaxNames = 10;
    // The product list is read up to this size.
    static constexpr qint64 MaxListBytes = 256 * 1024;

    struct Words
    {
        QString event;        // "Tornado Warning", "AFDGRRMI: Area Forecast Discussion"
        QString spokenEvent;  // "Tornado warning", "Area forecast discussion"
        QString places;       // "Forrest, Lamar and Marion counties, MS"; empty when none
        QString spokenPlaces; // the same without states
        QString until;        // "1:15 PM CDT", "12:30 AM CST Saturday"; empty when none
        QString spokenUntil;  // the same without the zone abbreviation
        bool critical = false;
        bool fromVtec = false; // the event was read from a VTEC string

        QString summary() const { return event; }
        // The places, then "until ..." on a line of its own.
        QString body() const;
        // "Tornado warning for Forrest, Lamar and Marion counties until 1:15 PM."
        QString sentence() const;
    };

    // Tables: county and zone names; descriptions: product category
    // ("AFD") to description ("Area Forecast Discussion").
    AlarmWords(const ReferenceTables& tables, QHash<QString, QString> descriptions);

    // The words of a product (its filed name and text, or a segment of it).
    // now: the moment the alarm is raised; the end time names its day when
    // it falls on another local day. zone: the local time zone.
    Words describe(const QString& fileName, const QString& text, const QDateTime& now,
                   const QTimeZone& zone) const;

    // One line for mail subjects and pages: "Tornado Warning: Forrest, Lamar
    // and Marion counties, MS until 1:15 PM CDT"; nothing for a text without
    // a VTEC event.
    std::optional<QString> headline(const QString& text, const QDateTime& now,
                                    const QTimeZone& zone) const;
    // "Tornado Warning" for TO and W; empty for a phenomenon not in the table.
    static QString eventName(const QString& phenomenon, QChar significance);
    // Warnings that threaten life within minutes: tornado, severe thunderstorm,
    // flash flood, extreme wind, snow squall.
    static bool isCritical(const QString& phenomenon, QChar significance);
    // UGC codes in order, grouped by state and kind, named from the tables.
    QString placeNames(const QStringList& codes, bool spoken) const;
    // "1:15 PM CDT"; the weekday is added when the local day differs from now's.
    static QString untilText(const QDateTime& end, const QDateTime& now, const QTimeZone& zone,
                             bool spoken);
    // The category lines ("AFD  Area Forecast Discussion") of a product list text.
    static QHash<QString, QString> parseProductList(const QString& text);
    static QHash<QString, QString> readProductList(const QString& path);

private:
    struct Group
    {
        QString state;
        QChar kind;
        QStringList names;
    };
    QList<Group> groups(const QStringList& codes) const;
    static QString groupText(const Group& group, int shown, bool spoken);

    QHash<QString, QString> m_counties; // "MSC035" -> "Forrest County"
    QHash<QString, QString> m_zones;    // "MIZ051" -> "Montcalm"
    QHash<QString, QString> m_descriptions;
};
