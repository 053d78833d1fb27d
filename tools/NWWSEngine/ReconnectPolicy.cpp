#include "ReconnectPolicy.h"

#include <algorithm>

int ReconnectPolicy::nextDelay(qint64 sessionMs)
{
    if (sessionMs >= m_limits.stableMs)
        m_nextMs = m_limits.initialMs;
    const int delay = std::clamp(m_nextMs, 0, m_limits.maxMs);
    m_nextMs = std::min(m_limits.maxMs, std::max(1, m_nextMs) * 2);
    return delay;
}
