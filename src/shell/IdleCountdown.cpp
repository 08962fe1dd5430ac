#include "shell/IdleCountdown.h"

namespace tevo {

// Placeholder until the idle countdown lands.
IdleCountdown::IdleCountdown(MainMenuView& view, Beeper& beeper, std::function<QString()> welcomeLine,
                             std::function<void()> leave)
    : m_view(view), m_beeper(beeper), m_welcomeLine(std::move(welcomeLine)), m_leave(std::move(leave))
{
}
void IdleCountdown::tick() {}
void IdleCountdown::reset() {}

} // namespace tevo
