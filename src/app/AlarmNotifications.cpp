#include "app/AlarmNotifications.h"

#include "alarms/AlarmComponent.h"
#include "notify/Emailer.h"
#include "notify/Pager.h"

AlarmNotifications::AlarmNotifications(AlarmComponent& getalarm, Emailer& email, Pager& pager,
                                       const PagerConfig& pagers, QString pagerLogPath,
                                       const IClock& clock, QObject* parent)
    : QObject(parent), m_pager(pager), m_pagers(pagers), m_pagerLogPath(std::move(pagerLogPath)),
      m_clock(clock)
{
    connect(&getalarm, &AlarmComponent::alarmEMail, &email, &Emailer::getalarm_alarmEMail);
    connect(&getalarm, &AlarmComponent::AlarmPager, this, &AlarmNotifications::getalarm_AlarmPager);
}

void AlarmNotifications::getalarm_AlarmPager(const QString& prodtxt, int aMethod)
{
    QString text = prodtxt;
    if (m_pageWords) {
        if (const std::optional<QString> words = m_pageWords(prodtxt))
            text = *words + QStringLiteral(" - ") + prodtxt;
    }
    m_pager.alarmPage(text, aMethod, m_pagers, m_pagerLogPath, m_clock);
}
