#include "app/MetarAlarmActions.h"

#include "notify/EmailBook.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"

MetarAlarmActions::MetarAlarmActions(const EmailBook& emailBook, const PagerConfig& pagers,
                                     MailSender& mail, Pager& pager)
    : m_emailBook(emailBook), m_pagers(pagers), m_mail(mail), m_pager(pager)
{
}

void MetarAlarmActions::startSound(const QString& path)
{
    if (m_sound)
        m_sound(path);
}

QString MetarAlarmActions::mailRecipients(int addressIndex) const
{
    return m_emailBook.address(addressIndex);
}

void MetarAlarmActions::sendMetarMail(const QString& body, const QString& recipients)
{
    m_mail.sendMetar(body, recipients);
}

void MetarAlarmActions::page(const QString& text, int pagerIndex)
{
    if (pagerIndex == 0) {
        m_pager.PageIt(text, m_pagers.personalId, m_pagers.charsPerPage);
        return;
    }
    if (const PagerConfig::Group* group = m_pagers.group(pagerIndex))
        m_pager.PageIt(text, QStringLiteral("!GROUP") + QString::number(pagerIndex), group->chars);
}

bool MetarAlarmActions::openScroll(const QString& caption, const QString& title)
{
    return !m_scroll || m_scroll(caption, title);
}
