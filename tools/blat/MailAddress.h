#pragma once

#include <QString>
#include <QStringList>

// Mail addresses as the mailer takes them: comma- (or semicolon-) separated
// lists of plain "local@domain" addresses, each optionally in angle brackets.
class MailAddress
{
public:
    struct List
    {
        QStringList valid;   // usable addresses, in order, without duplicates
        QStringList invalid; // entries that are not a usable address, as given
    };

    // Splits a recipient list; empty entries (a trailing comma) are skipped.
    static List parseList(const QString& text);
    // One address: no blanks or control characters, no characters that would
    // break the SMTP envelope or a header, a non-empty local part and domain.
    static bool isValid(const QString& address);
    // The address without surrounding blanks and angle brackets.
    static QString bare(const QString& entry);
    // The domain of an address, empty when there is none.
    static QString domainOf(const QString& address);
};
