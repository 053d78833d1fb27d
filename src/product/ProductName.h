#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The name of a product file: an 8-character product name (category 3,
// office 3, state 2), a point and an extension, optionally followed by "@"
// and a suffix that tells apart files of the same name ("AFDGRRMI.TXT@2").
// Received names are upper-cased; the parts are cut by position, as the
// broadcast names its files, so a short or odd name still has parts (empty
// where the name ends early).
//
// Also checks names typed or picked by the user before they are joined to a
// store directory: only A-Z, 0-9, ".", "~", blank and the wildcards "?" and
// "*" may occur, and a name made only of dots is refused, so nothing outside
// the store directories is ever opened.
class ProductName
{
public:
    // Reads a received file name; nullopt when it is empty.
    static std::optional<ProductName> parse(QStringView fileName);

    // The name as received, upper case, with any "@" suffix.
    const QString& received() const { return m_received; }
    // The received name cut before the first "@".
    QString fileName() const;
    // The first 8 characters of the received name.
    QString name() const { return m_received.left(8); }
    QString category() const { return name().left(3); }
    QString office() const { return name().mid(3, 3); }
    // Characters 7-8 of the file name.
    QString state() const { return fileName().mid(6, 2); }
    // What follows the first "." of the file name ("TXT"); empty without one.
    QString extension() const;
    // What follows the first "@" ("2" of "AFDGRRMI.TXT@2"); empty without one.
    QString suffix() const;
    bool hasSuffix() const { return m_at >= 0; }

    static bool isValid(const QString& name);
    // The message shown for a refused name.
    static QString invalidMessage(const QString& name);

private:
    QString m_received;
    qsizetype m_at = -1; // index of the first "@"
};
