#pragma once

#include "observations/IMetarAlarmActions.h"

#include <functional>

class EmailBook;
class MailSender;
class Pager;
class PagerConfig;

// The METAR alarm's actions through the program's mailer, pager, alarm
// sound and scrolling windows.
class MetarAlarmActions : public IMetarAlarmActions
{
public:
    MetarAlarmActions(const EmailBook& emailBook, const PagerConfig& pagers, MailSender& mail,
                      Pager& pager);

    // The alarm sound and the scrolling windows (set when the alarm actions exist).
    void setSound(std::function<void(const QString&)> start) { m_sound = std::move(start); }
    void setScroll(std::function<bool(const QString&, const QString&)> open)
    {
        m_scroll = std::move(open);
    }

    void startSound(const QString& path) override;
    QString mailRecipients(int addressIndex) const override;
    void sendMetarMail(const QString& body, const QString& recipients) override;
    void page(const QString& text, int pagerIndex) override;
    bool openScroll(const QString& caption, const QString& title) override;

private:
    const EmailBook& m_emailBook;
    const PagerConfig& m_pagers;
    MailSender& m_mail;
    Pager& m_pager;
    std::function<void(const QString&)> m_sound;
    std::function<bool(const QString&, const QString&)> m_scroll;
};
