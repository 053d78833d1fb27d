#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Turns the text of a page into what a paging terminal takes: printable
// 7-bit characters only, cut into pages of the configured size.
class PageSplitter
{
public:
    // The largest message one page block carries next to a pager number of
    // the given length (a block is at most 256 characters).
    static int blockLimit(int pinLength);
    // The page size: the configured characters per page (80 when not a
    // positive number), held within the block limit.
    static int pageSize(const QString& charsPerPage, int longestPin);
    // Control characters become blanks, other characters outside printable
    // ASCII become "?"; runs of blanks shrink to one; ends trimmed.
    static QByteArray printable(const QString& text);
    // Pages of at most size characters, cut at the last blank of a page
    // when there is one in its second half, else at the size.
    static QList<QByteArray> split(const QByteArray& text, int size);
};
