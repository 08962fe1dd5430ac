#include "platform/qt/PausableTimer.h"

#include <algorithm>
#include <utility>

namespace tevo {

PausableTimer::PausableTimer(const QString& name, int intervalMs, QObject* parent)
    : QTimer(parent), m_intervalMs(intervalMs)
{
    setObjectName(name);
    setInterval(intervalMs);
    // Connected before any tick handler can be: the interval is back before a handler runs, so
    // a handler that pauses the timer (a wait started from its event loop) or switches it finds
    // it in its usual state.
    connect(this, &QTimer::timeout, this, &PausableTimer::ticked);
}

void PausableTimer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (!enabled) {
        m_leftMs.reset();
        m_resumedEarly = false;
        stop();
    } else if (!isPaused() && !isActive()) {
        start(m_intervalMs);
    }
}

void PausableTimer::pause()
{
    if (m_pauses++ > 0)
        return;
    m_leftMs = isActive() ? std::optional<int>(std::max(0, remainingTime())) : std::nullopt;
    m_resumedEarly = false;
    stop();
}

void PausableTimer::resume()
{
    if (m_pauses == 0 || --m_pauses > 0)
        return;
    const std::optional<int> left = std::exchange(m_leftMs, std::nullopt);
    if (!m_enabled)
        return;
    if (left && *left < m_intervalMs) {
        m_resumedEarly = true;
        start(*left);
    } else {
        start(m_intervalMs);
    }
}

void PausableTimer::ticked()
{
    if (!m_resumedEarly)
        return;
    m_resumedEarly = false;
    // Restarts the running timer: the next tick comes a full interval after this one.
    setInterval(m_intervalMs);
}

} // namespace tevo
