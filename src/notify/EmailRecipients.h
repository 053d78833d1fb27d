#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class EmailBook;

// What the recipient dialog shows and builds: one line per address book
// entry, "Personal" (the own address) first; the recipients are the typed
// addresses and the addresses of every selected line, each followed by ",".
class EmailRecipients
{
public:
    // Line 0: "Personal    * " + own address; line i: the name padded to
    // 11 characters, " * ", address i.
    static QStringList lines(const EmailBook& book);
    // typed: the text box; selectedLines: indices into lines().
    static QString build(const QString& typed, const QList<int>& selectedLines,
                         const EmailBook& book);
};
