#pragma once

#include <QString>

#include <functional>

namespace tevo {

class MainMenuView;
class Beeper;

// The idle countdown on ProgressBar1 and Timer2: one step per tick, the status texts on the way
// and the way out at 0.
class IdleCountdown
{
public:
    IdleCountdown(MainMenuView& view, Beeper& beeper, std::function<QString()> welcomeLine,
                  std::function<void()> leave);

    void tick();  // one Timer2 tick
    void reset(); // activity: bar at 100, Timer2 restarted

private:
    MainMenuView& m_view;
    Beeper& m_beeper;
    std::function<QString()> m_welcomeLine;
    std::function<void()> m_leave;
};

} // namespace tevo
