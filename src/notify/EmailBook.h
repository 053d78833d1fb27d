#pragma once

#include <QString>
#include <QStringList>

// The e-mail address book: named groups of addresses from "email-users.txt",
// the user's own address at index 0, and the tag text put in front of mail.
class EmailBook
{
public:
    static constexpr int MaxEntries = 250;

    EmailBook();

    // Reads the address book; address 0 becomes ownAddress. A missing or
    // empty file leaves the book without entries.
    void loadUsers(const QString& path, const QString& ownAddress);
    // The whole content of the tag file; empty when missing or empty.
    void loadTag(const QString& path);

    // Number of entries read (0 to MaxEntries).
    int count() const { return m_count; }
    // Name of entry n, index 0 to MaxEntries - 1.
    QString name(int index) const;
    // Addresses of index 0 (own address) to MaxEntries; empty when out of range.
    QString address(int index) const;
    void setAddress(int index, const QString& addresses);
    QStringList names() const { return m_names.mid(0, m_count); }
    QString tag() const { return m_tag; }
    void setTag(const QString& tag) { m_tag = tag; }

private:
    void clear();
    bool addEntry(const QString& line);

    QStringList m_names;     // MaxEntries
    QStringList m_addresses; // MaxEntries + 1
    int m_count = 0;
    QString m_tag;
};
