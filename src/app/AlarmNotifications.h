#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Emailer;
class IClock;
class Pager;
class PagerConfig;
class AlarmComponent;

// The alarm component's mail and page events: alarmEMail goes to the
// e-mail path, AlarmPager to the pager with its line in "pager-log.txt".
class AlarmNotifications : public QObject
{
    Q_OBJECT
public:
    AlarmNotifications(AlarmComponent& getalarm, Emailer& email, Pager& pager,
                       const PagerConfig& pagers, QString pagerLogPath, const IClock& clock,
                       QObject* parent = nullptr);

    void getalarm_AlarmPager(const QString& prodtxt, int aMethod);
    // A page's words put in front of its text; nothing leaves the text as it is.
    using PageWords = std::function<std::optional<QString>(const QString& prodtxt)>;
    void setPageWords(PageWords words) { m_pageWords = std::move(words); }

private:
    Pager& m_pager;
    const PagerConfig& m_pagers;
    QString m_pagerLogPath;
    const IClock& m_clock;
    PageWords m_pageWords;
};
