#pragma once

#include "product/AwipsId.h"
#include "product/WmoHeading.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

// The heading of a text product as read from its first lines: the WMO heading
// (TTAAii, station, time) and the AWIPS identifier, with the filing rules that
// clear or replace them. A heading of the standard form is read by
// WmoHeading; any other heading line is still split at blanks, as the filing
// rules expect. Reading is a pure function
// of the lines, so that it can be tested alone; headLines() takes those lines
// from a file without reading more than the header needs.
class ProductHeader
{
public:
    enum class Outcome
    {
        Read,      // heading and identifier taken (either may be empty)
        Corrupt,   // first line too long to be a heading
        TestFile,  // a broadcast test message; identifier names it
        Truncated, // the file ended before the lines the form needs
    };

    // Lines the header can use at most: start-of-heading form reads seven.
    static constexpr int MaxLines = 7;
    // Characters kept of one line, and bytes looked at for all header lines.
    static constexpr int MaxLineLength = 4096;
    static constexpr qint64 MaxHeaderBytes = 1024 * 1024;
    // A first line longer than this is corrupt; a heading after a sequence
    // line longer than the second limit is not used.
    static constexpr int MaxHeadingLength = 26;
    static constexpr int MaxSecondHeadingLength = 25;

    Outcome outcome = Outcome::Read;
    bool raw = false; // starts with the start-of-heading character
    QString firstLine;
    QString heading;
    QString ttaaii;
    QString station;
    QString time;
    QString identifier;

    // Reads the header from the file's first lines (line ends CR, LF or CR LF).
    static ProductHeader read(const QStringList& lines);
    // Up to maxLines lines from the device (Latin-1), each cut to
    // MaxLineLength characters; stops after MaxHeaderBytes bytes.
    static QStringList headLines(QIODevice& device, int maxLines = MaxLines);
    static QStringList headLines(QByteArrayView bytes, int maxLines = MaxLines);
    // Characters 3-4 of TTAAii.
    QString areaCode() const { return ttaaii.mid(2, 2); }
    // The heading line when it has the standard form.
    const std::optional<WmoHeading>& wmoHeading() const { return m_wmo; }
    // The identifier when it is an AWIPS identifier ("AFDGRR").
    std::optional<AwipsId> awipsId() const { return AwipsId::parse(identifier); }

private:
    static ProductHeader readRaw(const QStringList& lines);
    bool takeWmoHeading(const QString& line);
    void splitHeading(const QString& line);
    void applyIdentifierRules();

    std::optional<WmoHeading> m_wmo;
};
