#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One segment of a product: the UGC code group ("MSC035-073-091-291815-") and
// the text after it up to the line "$$".
struct UgcSegment
{
    // Every code of the group in full form, ranges expanded: "MSC035",
    // "MSZ001"; a whole state is "MSCALL" or "MSZALL" (written ALL or 000).
    QStringList codes;
    QString expiryText; // "291815": day, hour, minute (UTC)
    QDateTime expires;  // expiryText placed after the issue time; invalid without it
    int firstLine = 0;  // index of the group's first line
    int lastLine = 0;   // index of the segment's last line ("$$" or the product's last)

    // True when the group names code (state + C/Z + 3 digits), also through ALL.
    bool covers(const QString& code) const;
    QStringList counties() const; // the codes with "C"
    QStringList zones() const;    // the codes with "Z"
};

// The UGC segments of a product's lines (line ends removed).
class UgcSegments
{
public:
    static constexpr int MaxSegments = 200;
    static constexpr int MaxCodesPerSegment = 1000;
    static constexpr int MaxGroupLines = 20;

    // Reads the segments; nullopt when the product has no UGC code group.
    // issued (UTC) places each segment's expiry day in its month.
    static std::optional<UgcSegments> parse(const QStringList& lines, const QDateTime& issued = {});

    const QList<UgcSegment>& segments() const { return m_segments; }
    // Every code of every segment, once, in order of appearance.
    QStringList allCodes() const;
    // True when a segment covers code.
    bool covers(const QString& code) const;

    // ddhhmm after issued: the first such time not more than a day before it.
    static QDateTime placeDayTime(const QString& ddhhmm, const QDateTime& issued);

private:
    QList<UgcSegment> m_segments;
};
