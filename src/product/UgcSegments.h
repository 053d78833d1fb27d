#pragma once

#include <QDateTime>
#include <QHash>
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
    // Where each state's list starts ("PAC" -> index of the line holding
    // "PAC011"): a list may begin in the middle of a continuation line.
    QHash<QString, int> listLines;

    // True when the group names code (state + C/Z + 3 digits), also through ALL.
    bool covers(const QString& code) const;
    // The index of the line where the list of code's state and kind starts;
    // firstLine when the group has no such list.
    int listLine(const QString& code) const;
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
    // Within one state's list: tokens (a number, a range or ALL) and numbers
    // (a range counts each of its numbers) beyond these are not used.
    static constexpr int MaxTokensPerList = 500;
    static constexpr int MaxNumbersPerList = 700;

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
