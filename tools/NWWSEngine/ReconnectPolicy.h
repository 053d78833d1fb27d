#pragma once

#include <QtGlobal>

// How long to wait before the next connection attempt: the wait doubles
// from Limits::initialMs after each failed or short session up to maxMs, and
// starts again from initialMs after a session that stayed up stableMs.
class ReconnectPolicy
{
public:
    struct Limits
    {
        int initialMs = 1000;
        int maxMs = 300000;
        int stableMs = 120000;
    };

    ReconnectPolicy() = default;
    explicit ReconnectPolicy(Limits limits) : m_limits(limits), m_nextMs(limits.initialMs) {}

    // The wait after a session that lasted sessionMs (0: never connected).
    int nextDelay(qint64 sessionMs);

private:
    Limits m_limits;
    int m_nextMs = Limits().initialMs;
};
