#include "ingest/DataWatchdog.h"

#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/EngineControl.h"
#include "ingest/IDataLossNotices.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/SystemInfo.h"

DataWatchdog::DataWatchdog(IClock& clock, StatusLine& status, const Settings& settings,
                           IDataLossNotices& notices, EngineControl& engine, QObject* parent)
    : QObject(parent), m_clock(clock), m_status(status), m_settings(settings), m_notices(notices),
      m_engine(engine), m_stationName(&SystemInfo::computerName)
{
    m_tmrDataCheck.setInterval(60000);
    connect(&m_tmrDataCheck, &QTimer::timeout, this, &DataWatchdog::tick);
}

void DataWatchdog::setLastDataTime(std::function<QDateTime()> lastDataTime)
{
    m_lastDataTime = std::move(lastDataTime);
}

void DataWatchdog::setStationName(std::function<QString()> stationName)
{
    m_stationName = std::move(stationName);
}

void DataWatchdog::start()
{
    m_tmrDataCheck.start();
}

void DataWatchdog::stop()
{
    m_tmrDataCheck.stop();
}

QString DataWatchdog::now() const
{
    return DateTimeText::general(m_clock.now());
}

QString DataWatchdog::lineEnd() const
{
    return m_settings.stripLF ? QStringLiteral("\r") : QStringLiteral("\r\n");
}

bool DataWatchdog::flowing() const
{
    if (!m_lastDataTime)
        return true;
    const QDateTime last = m_lastDataTime();
    return !last.isValid() || last.msecsTo(m_clock.now()) < FlowingMilliseconds;
}

void DataWatchdog::tick()
{
    const QString station = m_stationName ? m_stationName() : QString();
    if (flowing())
        resumed(station);
    else
        silentMinute(station);
}

void DataWatchdog::resumed(const QString& station)
{
    m_silentMinutes = 0;
    if (!m_alertActive)
        return;
    m_alertActive = false;
    const QString when = now();
    if (m_settings.AlertEmail != 0)
        m_notices.mail(QStringLiteral("Vantorel Data Resumed"), resumedMailText(when, station));
    if (m_settings.AlertPager != 0)
        m_notices.page(resumedPageText(when, station));
}

void DataWatchdog::silentMinute(const QString& station)
{
    // The count stops at its ceiling so that any length of silence is shown
    // sanely; the alert can only be raised on a tick that moved the count.
    const bool counted = m_silentMinutes < MaxSilentMinutes;
    if (counted)
        ++m_silentMinutes;
    m_status.setText(QStringLiteral("No products for ") + QString::number(m_silentMinutes) +
                     QStringLiteral(" minutes."));
    if (counted && m_silentMinutes == m_settings.InactivityDelay)
        raiseAlert(station);
}

void DataWatchdog::raiseAlert(const QString& station)
{
    m_status.setText(QStringLiteral("ALERT - No Incoming Data"));
    m_alertActive = true;
    const QString when = now();
    if (m_settings.AlertEmail != 0)
        m_notices.mail(QStringLiteral("Vantorel Data Loss"), lossMailText(when, station));
    if (m_settings.AlertPager != 0)
        m_notices.page(lossPageText(when, station));
    if (m_settings.AlertByte != 0)
        m_engine.startInternetBackup();
}

QString DataWatchdog::lossMailText(const QString& now, const QString& station) const
{
    return now + lineEnd() + QStringLiteral("No data received from Vantorel for over ") +
           QString::number(m_settings.InactivityDelay) + QStringLiteral(" minutes on ") + station +
           QLatin1Char('.');
}

QString DataWatchdog::resumedMailText(const QString& now, const QString& station) const
{
    return now + lineEnd() + QStringLiteral("EMWIN data has resumed flowing on ") + station +
           QLatin1Char('.');
}

QString DataWatchdog::lossPageText(const QString& now, const QString& station) const
{
    return now + QStringLiteral(" - No data received from Vantorel for over ") +
           QString::number(m_settings.InactivityDelay) + QStringLiteral(" minutes on ") + station +
           QLatin1Char('.');
}

QString DataWatchdog::resumedPageText(const QString& now, const QString& station) const
{
    return now + QStringLiteral(" - EMWIN data has resumed flowing on ") + station +
           QLatin1Char('.');
}
