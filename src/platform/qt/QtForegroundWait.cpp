#include "platform/qt/QtForegroundWait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace tevo {

namespace {

struct StoppedTimer
{
    QPointer<QTimer> timer;
    int remainingMs;
    int intervalMs;
};

std::vector<StoppedTimer> stop(const QList<QPointer<QTimer>>& timers)
{
    std::vector<StoppedTimer> stopped;
    for (const QPointer<QTimer>& timer : timers) {
        if (!timer || !timer->isActive())
            continue;
        stopped.push_back({timer, std::max(0, timer->remainingTime()), timer->interval()});
        timer->stop();
    }
    return stopped;
}

// The first tick comes after the time that was left, the later ones at the usual interval.
void restart(const std::vector<StoppedTimer>& stopped)
{
    for (const StoppedTimer& entry : stopped) {
        QTimer* timer = entry.timer.data();
        if (!timer || timer->isActive())
            continue;
        timer->start(entry.remainingMs);
        const int interval = entry.intervalMs;
        QObject::connect(
            timer, &QTimer::timeout, timer, [timer, interval] { timer->setInterval(interval); },
            Qt::SingleShotConnection);
    }
}

} // namespace

void QtForegroundWait::holdDuringWaits(const QList<QTimer*>& timers)
{
    m_held.clear();
    for (QTimer* timer : timers)
        m_held.append(timer);
}

void QtForegroundWait::runWhileWaiting(const std::function<void()>& work)
{
    const std::vector<StoppedTimer> stopped = stop(m_held);
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
    restart(stopped);
}

} // namespace tevo
