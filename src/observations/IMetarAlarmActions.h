#pragma once

#include <QString>

// The actions of a METAR alarm that other parts of the program carry out:
// the alarm sound, mail, pages and the scrolling alarm window.
class IMetarAlarmActions
{
public:
    virtual ~IMetarAlarmActions() = default;

    // Starts the repeating alarm sound with this sound file, as a sound alarm
    // does, and enables muting.
    virtual void startSound(const QString& path) = 0;
    // The addresses of e-mail address book entry addressIndex (0 = the
    // user's own address); empty when there is no such entry.
    virtual QString mailRecipients(int addressIndex) const = 0;
    // Writes body to the METAR mail body file and starts the METAR send
    // command for the recipients.
    virtual void sendMetarMail(const QString& body, const QString& recipients) = 0;
    // Pages text: pagerIndex 0 is the personal pager, 1 to 10 the group of
    // that number, each with its characters per page. Suspended paging holds
    // the page back.
    virtual void page(const QString& text, int pagerIndex) = 0;
    // Opens a new scrolling alarm window with this marquee text and window
    // caption, and an empty tag. False when no further window may be opened.
    virtual bool openScroll(const QString& caption, const QString& title) = 0;
};
