#include "shell/IdleCountdown.h"

#include "core/MainMenuView.h"
#include "platform/UserInterface.h"
#include "resources/StringTable.h"

namespace tevo {

IdleCountdown::IdleCountdown(MainMenuView& view, Beeper& beeper,
                             std::function<QString()> welcomeLine, std::function<void()> leave)
    : m_view(view), m_beeper(beeper), m_welcomeLine(std::move(welcomeLine)),
      m_leave(std::move(leave))
{
}

// One step of the count from 100 to 0, one tick every 800 ms. Each step reads the bar again:
// an activity reset that runs while pending events are let through sets it back to 100, and
// the steps after it then do nothing. The bar holds a single-precision value.
void IdleCountdown::tick()
{
    auto value = [this] { return static_cast<float>(m_view.countdownValue()); };

    if (const float v = value(); v > 0) {
        m_view.setCountdownValue(v >= 1 ? v - 1 : 0);
        m_view.processPendingEvents();
    }
    if (const float v = value(); v < 97 && v > 93)
        m_view.setStatusText(m_welcomeLine());
    if (value() == 90)
        m_view.setStatusText(loadString(strings::kGreyedEntriesHint));
    if (value() == 25) {
        m_beeper.beep();
        m_view.setStatusText(loadString(strings::kIdleLeavingWarning));
    }
    if (value() == 0)
        m_leave();
}

// Activity: the bar is full again and the next tick comes a full interval later.
void IdleCountdown::reset()
{
    m_view.setCountdownValue(100);
    m_view.setIdleTimerEnabled(false);
    m_view.setIdleTimerEnabled(true);
}

} // namespace tevo
