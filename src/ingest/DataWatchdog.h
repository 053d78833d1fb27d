#pragma once

#include "platform/Clock.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class EngineControl;
class IDataLossNotices;
class Settings;
class StatusLine;

// Counts the minutes in which no product arrived, raises the data-loss alert
// once per silence (status line, mail, page, Internet backup) and sends the
// data-resumed notices when products flow again after an alert. The
// switches (AlertEmail, AlertPager, AlertByte, InactivityDelay, strip-LF) are
// read from the settings at every tick.
class DataWatchdog : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxSilentMinutes = 32767;
    // Less than 0.001 day since the last product means products are flowing.
    static constexpr qint64 FlowingMilliseconds = 86400;

    DataWatchdog(IClock& clock, StatusLine& status, const Settings& settings,
                 IDataLossNotices& notices, EngineControl& engine, QObject* parent = nullptr);

    void setLastDataTime(std::function<QDateTime()> lastDataTime);
    // Defaults to the computer's network name.
    void setStationName(std::function<QString()> stationName);

    // The timer tmrDataCheck, one tick a minute.
    void start();
    void stop();
    bool isRunning() const { return m_tmrDataCheck.isActive(); }
    const QTimer& tmrDataCheck() const { return m_tmrDataCheck; }

    void tick();

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
    QString lineEnd() const;
    QString now() const;

    IClock& m_clock;
    StatusLine& m_status;
    const Settings& m_settings;
    IDataLossNotices& m_notices;
    EngineControl& m_engine;
    std::function<QDateTime()> m_lastDataTime;
    std::function<QString()> m_stationName;
    QTimer m_tmrDataCheck;
    int m_silentMinutes = 0;
    bool m_alertActive = false;
};
