#pragma once

#include <QString>
#include <QStringList>

class Settings;

// Finds the segment of a product that concerns one zone or county code
// (state + "Z" or "C" + 3 digits, e.g. MIZ050) among the product's UGC
// segments (UgcSegments). The text handed back starts at the line where the
// code's state list starts and runs up to and including the line "$$" or to
// the end of the product.
class UgcSearch
{
public:
    explicit UgcSearch(const Settings& settings);

    // Searches the filed product: a product key in the text directory, or an
    // 8-character product name whose receipt names the key. Returns 1 when the
    // product has a segment for countyCode (then SegmentText() holds it), else
    // 0. Throws RuntimeError(FileNotFound) when the product is not filed or
    // its name is not a plain file name.
    quint8 FindUGC(const QString& countyCode, const QString& product);
    const QString& SegmentText() const { return m_segmentText; }

    // The same search over a product's lines in memory; on success the
    // segment (each line followed by CR LF) goes to segmentText.
    static bool findInLines(const QString& countyCode, const QStringList& lines,
                            QString* segmentText);

    // True for a well-formed code: two letters, "C" or "Z", three digits.
    static bool isCode(const QString& code);
    // The product text split into lines, with the broadcast's CR CR LF line
    // ends read as one line end.
    static QStringList productLines(const QString& text);

private:
    QString resolveProduct(const QString& product) const;

    const Settings& m_settings;
    QString m_segmentText;
};
