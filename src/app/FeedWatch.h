#pragma once

#include <QDateTime>
#include <QString>

// Watches the two feeds against each other: the Weather Wire engine stamps
// a file with the time of its last product, and while both feeds run nearly
// every text product arrives twice, so that duplicates keep being dropped.
// A Weather Wire silent for Window minutes while products still arrive, or
// duplicates that stop while the Weather Wire still delivers (the broadcast
// is silent), is reported once per silence on the status line.
class FeedWatch
{
public:
    static constexpr qint64 WindowSeconds = 15 * 60;

    struct Reading
    {
        QDateTime now;
        QDateTime lastArrival; // any product taken from Data-In
        QDateTime lastWire;    // the Weather Wire engine's last product (invalid: none)
        qint64 duplicates = 0; // dropped so far
    };

    // The notice to show for this reading, or empty.
    QString check(const Reading& r);

private:
    bool recent(const QDateTime& t, const QDateTime& now) const;

    QDateTime m_started;
    QDateTime m_duplicatesChanged;
    qint64 m_duplicates = -1;
    bool m_wireReported = false;
    bool m_broadcastReported = false;
};
