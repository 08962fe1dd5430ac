#include "platform/qt/QtForegroundWait.h"

#include "platform/qt/PausableTimer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include <atomic>
#include <thread>

namespace tevo {

void QtForegroundWait::holdDuringWaits(const QList<PausableTimer*>& timers)
{
    m_held.clear();
    for (PausableTimer* timer : timers)
        m_held.append(timer);
}

void QtForegroundWait::runWhileWaiting(const std::function<void()>& work)
{
    // The timers paused here are the ones resumed, whatever the list is by then.
    const QList<QPointer<PausableTimer>> paused = m_held;
    for (const QPointer<PausableTimer>& timer : paused) {
        if (timer)
            timer->pause();
    }
    // wakeUp() may be called from any thread; a wake-up that comes before the dispatcher waits
    // makes its next wait return at once, so the end of the work is never missed.
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    std::atomic<bool> finished{false};
    std::thread worker([&work, &finished, dispatcher] {
        work();
        finished.store(true, std::memory_order_release);
        if (dispatcher)
            dispatcher->wakeUp();
    });
    // Without an event dispatcher there is no window to keep alive: the thread just waits.
    while (dispatcher && !finished.load(std::memory_order_acquire)) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                        QEventLoop::WaitForMoreEvents);
    }
    worker.join();
    for (const QPointer<PausableTimer>& timer : paused) {
        if (timer)
            timer->resume();
    }
}

} // namespace tevo
