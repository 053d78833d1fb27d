#include "app/FeedWatch.h"

bool FeedWatch::recent(const QDateTime& t, const QDateTime& now) const
{
    return t.isValid() && t.secsTo(now) < WindowSeconds;
}

QString FeedWatch::check(const Reading& r)
{
    if (!m_started.isValid())
        m_started = r.now;
    if (r.duplicates != m_duplicates) {
        m_duplicates = r.duplicates;
        m_duplicatesChanged = r.now;
    }
    if (m_started.secsTo(r.now) < WindowSeconds)
        return {}; // both feeds get their time to start
    const QString time = QStringLiteral("HH:mm");
    const bool wire = recent(r.lastWire, r.now);
    const bool arrivals = recent(r.lastArrival, r.now);
    const bool pairs = recent(m_duplicatesChanged, r.now);
    QString notice;
    if (!wire && arrivals) {
        if (!m_wireReported)
            notice = QStringLiteral("NWWS feed silent") +
                     (r.lastWire.isValid() ? QStringLiteral(" since ") + r.lastWire.toString(time)
                                           : QString()) +
                     QStringLiteral(" while the broadcast runs");
        m_wireReported = true;
    } else if (wire) {
        m_wireReported = false;
    }
    if (wire && !pairs) {
        if (!m_broadcastReported)
            notice = QStringLiteral("Broadcast feed silent since ") +
                     m_duplicatesChanged.toString(time) + QStringLiteral(" while NWWS runs");
        m_broadcastReported = true;
    } else if (pairs) {
        m_broadcastReported = false;
    }
    return notice;
}
