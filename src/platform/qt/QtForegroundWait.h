#pragma once

#include "platform/ForegroundWait.h"

#include <QList>
#include <QPointer>

namespace tevo {

class PausableTimer;

// ForegroundWait on Qt: the work runs on a std::thread while the calling thread processes every
// event except user input (QEventLoop::ExcludeUserInputEvents; Qt holds key presses, clicks and
// the window manager's close requests and delivers them after the wait). The held timers are
// paused for the wait: nothing that runs meanwhile (a resize, say) starts them, and afterwards
// each goes on with the time it had left, then at its own interval.
//
// The worker thread is always joined before runWhileWaiting() returns, whatever happens to the
// window meanwhile, so nothing of the work outlives the call.
class QtForegroundWait : public ForegroundWait
{
public:
    // Timers that stand still during every wait. A timer destroyed in the meantime is skipped.
    void holdDuringWaits(const QList<PausableTimer*>& timers);

    void runWhileWaiting(const std::function<void()>& work) override;

private:
    QList<QPointer<PausableTimer>> m_held;
};

} // namespace tevo
