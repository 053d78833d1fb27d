#pragma once

#include "ingest/IDataLossNotices.h"

class MailSender;
class Pager;
class PagerConfig;
class Settings;

// The watchdog's notices through the mailer (to the user's own address,
// body file "output.txt") and the paging program (the personal pager).
class DataLossNotices : public IDataLossNotices
{
public:
    DataLossNotices(const Settings& settings, const PagerConfig& pagers, MailSender& mail,
                    Pager& pager);

    void mail(const QString& subject, const QString& text) override;
    void page(const QString& text) override;

private:
    const Settings& m_settings;
    const PagerConfig& m_pagers;
    MailSender& m_mail;
    Pager& m_pager;
};
