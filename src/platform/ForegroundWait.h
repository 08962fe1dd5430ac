#pragma once

#include <functional>

namespace tevo {

// Lets the window's thread wait for work that runs on a worker thread, as if the thread itself
// were blocked in that work, except that the window keeps painting and answering the window
// manager. Meanwhile no user input is handled (key presses, clicks and close requests are held
// and handled after the wait) and the window's timers do not tick (they go on afterwards with
// the time they had left).
class ForegroundWait
{
public:
    virtual ~ForegroundWait() = default;
    // Runs `work` on another thread and returns once it has finished. Called on the window's
    // thread only; `work` must not touch the window or the settings store.
    virtual void runWhileWaiting(const std::function<void()>& work) = 0;
};

} // namespace tevo
