#include "app/DataLossNotices.h"

#include "core/Settings.h"
#include "notify/MailSender.h"
#include "notify/Pager.h"
#include "notify/PagerConfig.h"
#include "platform/RuntimeError.h"

#include <QDebug>

DataLossNotices::DataLossNotices(const Settings& settings, const PagerConfig& pagers,
                                 MailSender& mail, Pager& pager)
    : m_settings(settings), m_pagers(pagers), m_mail(mail), m_pager(pager)
{
}

void DataLossNotices::mail(const QString& subject, const QString& text)
{
    try {
        m_mail.send(QStringLiteral("output.txt"), text, subject, m_settings.EMail0);
    } catch (const RuntimeError& error) {
        // The notices are fire-and-forget; a body that cannot be written must
        // not keep the page and the backup from going out.
        qWarning("%s", error.what());
    }
}

void DataLossNotices::page(const QString& text)
{
    m_pager.ProcessPage(text, m_pagers.personalId, m_pagers.charsPerPage);
}
