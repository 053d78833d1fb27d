#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The key a text product is filed under in the text store: the AWIPS
// identifier padded with blanks to 9 characters, "~", the originating station,
// "~", the state ("AFDGRR   ~KGRR~MI"). Older versions are stored as key + ".1"
// to key + ".N"; a stored file name reads back as its key and version.
class ProductKey
{
public:
    static constexpr int IdentifierWidth = 9;
    static constexpr int StateWidth = 2;

    // The key of a product from its settled identifier, station and state.
    // An identifier longer than the width is kept whole (the key is then not
    // parsed back); filing refuses such keys as unsafe names anyway.
    static ProductKey make(const QString& identifier, const QString& station, const QString& state);
    // Reads a key, or a stored file name key + "." + version (1 or more);
    // nullopt when the text is not of that form: "~" after 9 characters, a
    // second "~", an identifier that does not start with a blank, no path
    // separator or control character.
    static std::optional<ProductKey> parse(QStringView text);

    QString text() const;
    // The identifier without its padding (as given to make()).
    const QString& identifier() const { return m_identifier; }
    const QString& station() const { return m_station; }
    const QString& state() const { return m_state; }
    // Characters 1-3 and 4-6 of the key.
    QString category() const { return text().left(3); }
    QString office() const { return text().mid(3, 3); }
    // The stored version: 0 for the newest, N for key + ".N".
    int version() const { return m_version; }
    // The file name of this key's version n (0: the key itself).
    QString fileName(int n) const;

    bool operator==(const ProductKey& other) const = default;

private:
    QString m_identifier;
    QString m_station;
    QString m_state;
    int m_version = 0;
};
