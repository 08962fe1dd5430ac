// The window's wait for a request: events go on, the held timers stand still and then go on
// with the time they had left.

#include "platform/qt/QtForegroundWait.h"

#include <QTest>
#include <QTimer>

#include <chrono>
#include <thread>

using namespace tevo;

class ForegroundWaitWidgetTest : public QObject
{
    Q_OBJECT
private slots:
    void heldTimersStandStillWhileOtherEventsRun()
    {
        QTimer held;
        held.setInterval(300);
        int heldTicks = 0;
        connect(&held, &QTimer::timeout, [&] { ++heldTicks; });
        QTimer other;
        other.setInterval(20);
        int otherTicks = 0;
        connect(&other, &QTimer::timeout, [&] { ++otherTicks; });
        QtForegroundWait wait;
        wait.holdDuringWaits({&held});
        held.start();
        other.start();
        QTest::qWait(100);
        const int left = held.remainingTime();

        bool workerRan = false;
        wait.runWhileWaiting([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            workerRan = true;
        });

        QVERIFY(workerRan);
        QCOMPARE(heldTicks, 0);
        QVERIFY2(otherTicks > 0, "no event ran during the wait");
        QVERIFY(held.isActive());
        QVERIFY2(held.remainingTime() <= left, qPrintable(QString::number(held.remainingTime())));
        // After the first tick the usual interval again.
        QTRY_COMPARE(heldTicks, 1);
        QCOMPARE(held.interval(), 300);
    }
};

QTEST_MAIN(ForegroundWaitWidgetTest)
#include "ForegroundWaitWidgetTest.moc"
