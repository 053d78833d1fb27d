#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class StatusLine;
class MailSender;
class Pager;
class EngineControl;

// Counts the minutes in which no product arrived, raises the data-loss alert
// once per silence (status line, mail, page, Internet backup) and sends the
// data-resumed notices when products flow again after an alert.
class DataWatchdog : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        int alertEmail = 0;
        int alertPager = 0;
        int alertByte = 0;
        int inactivityDelay = 3;
        bool stripLF = false;
        QString email0;
        QString userPage;   // personal pager ID
        QString pagerChars; // personal pager's characters per page
    };

    static constexpr int MaxSilentMinutes = 32767;
    // Less than 0.001 day since the last product means products are flowing.
    static constexpr qint64 FlowingMilliseconds = 86400;

    DataWatchdog(IClock& clock, StatusLine& status, MailSender& mail, Pager& pager,
                 EngineControl& engine, QObject* parent = nullptr);

    void setOptions(const Options& options) { m_options = options; }
    const Options& options() const { return m_options; }
    void setLastDataTime(std::function<QDateTime()> lastDataTime);
    // Defaults to the computer's network name.
    void setStationName(std::function<QString()> stationName);

    // The timer tmrDataCheck, one tick a minute.
    void start();
    void stop();
    bool isRunning() const { return m_tmrDataCheck.isActive(); }
    const QTimer& tmrDataCheck() const { return m_tmrDataCheck; }

    void tick();
    void tmrDataCheck_Timer() { tick(); }

    int silentMinutes() const { return m_silentMinutes; }
    bool alertActive() const { return m_alertActive; }

    QString lossMailText(const QString& now, const QString& station) const;
    QString resumedMailText(const QString& now, const QString& station) const;
    QString lossPageText(const QString& now, const QString& station) const;
    QString resumedPageText(const QString& now, const QString& station) const;

private:
    bool flowing() const;
    void resumed(const QString& station);
    void silentMinute(const QString& station);
    void raiseAlert(const QString& station);
    void sendMail(const QString& subject, const QString& text);
    void sendPage(const QString& text);
    QString lineEnd() const;
    QString now() const;

    IClock& m_clock;
    StatusLine& m_status;
    MailSender& m_mail;
    Pager& m_pager;
    EngineControl& m_engine;
    Options m_options;
    std::function<QDateTime()> m_lastDataTime;
    std::function<QString()> m_stationName;
    QTimer m_tmrDataCheck;
    int m_silentMinutes = 0;
    bool m_alertActive = false;
};
