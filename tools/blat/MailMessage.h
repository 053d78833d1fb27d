#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// One plain-text mail as it goes over the wire: the header block (Date,
// From, To, Cc, Subject, Message-ID, MIME) and the body with CR LF line ends,
// encoded so that any SMTP server carries it unchanged.
class MailMessage
{
public:
    QString from;
    QStringList to;
    QStringList cc; // blind copies never appear in the headers
    QString subject;
    QByteArray body; // the body file's bytes as read
    QDateTime date;
    QString messageId; // without angle brackets

    QByteArray toBytes() const;

    // "Sun, 06 Dec 2026 18:27:51 -0600".
    static QByteArray dateText(const QDateTime& when);
    // The Subject header's value: control characters blanked; plain ASCII
    // folded before words within 78 characters a line, anything else as
    // UTF-8 encoded words folded between words within 76.
    static QByteArray subjectText(const QString& subject);
    // Every CR LF, lone CR and lone LF becomes CR LF; the text ends in CR LF.
    static QByteArray crlfLines(const QByteArray& text);
    // "us-ascii", "utf-8" or "iso-8859-1" (product files are 8-bit text).
    static QByteArray charsetOf(const QByteArray& text);
    // True when the CR LF text can go as 7bit: ASCII, no NUL, lines <= 998.
    static bool fitsSevenBit(const QByteArray& crlfText);
    // Quoted-printable form of CR LF text; encoded lines are at most 76 characters.
    static QByteArray quotedPrintable(const QByteArray& crlfText);
    // A fresh id "time.random@domain".
    static QString newMessageId(const QString& domain);

private:
    static QByteArray addressHeader(const char* name, const QStringList& addresses);
    static QByteArray encodedWords(const QString& text);
    static QByteArray foldedAscii(const QByteArray& text);
    // Whether every word with the blanks before it fits a folded header line.
    static bool foldsPlain(const QByteArray& text);
    // The text cut before each word: runs of blanks followed by a word.
    static QList<QByteArray> blanksAndWords(const QByteArray& text);
};
